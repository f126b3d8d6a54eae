// Helper for the crash test: replaces the profiles file with document A, then B, then A, …
// through FileProfileStorage until it is killed. Prints one line once the first write is done.
//   ProfileFileWriter <profiles file> <document A> <document B>
#include "Profiles/FileProfileStorage.h"

#include <QFile>
#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <profiles file> <document A> <document B>\n", argv[0]);
        return 2;
    }
    norvane::FileProfileStorage storage(QString::fromLocal8Bit(argv[1]));
    try {
        QFile a(QString::fromLocal8Bit(argv[2]));
        QFile b(QString::fromLocal8Bit(argv[3]));
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read the documents");
        const QByteArray documents[] = {a.readAll(), b.readAll()};
        storage.write(documents[1]);
        std::puts("writing");
        std::fflush(stdout);
        for (unsigned long i = 0;; ++i)
            storage.write(documents[i % 2]);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
