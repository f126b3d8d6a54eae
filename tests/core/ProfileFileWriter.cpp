// Helper for the crash test: replaces the profiles file with document A, then B, then A, …
// through FileProfileStorage until it is killed. Prints one line once the first write is done.
//   ProfileFileWriter <profiles file> <document A> <document B>
#include "Profiles/FileProfileStorage.h"

#include <QFile>
#include <cstdio>

namespace {

QByteArray readAll(const char *path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(2);
    }
    return file.readAll();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <profiles file> <document A> <document B>\n", argv[0]);
        return 2;
    }
    norvane::FileProfileStorage storage(QString::fromLocal8Bit(argv[1]));
    const QByteArray documents[] = {readAll(argv[2]), readAll(argv[3])};
    try {
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
