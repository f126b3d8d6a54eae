#include "ProcessApplications.h"

#include "DesktopEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <unistd.h>

namespace norvane {

namespace {

// The kernel keeps this many bytes of a program's file name as the process's comm.
constexpr qsizetype kCommLength = 15;

QString fileName(const QString &path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The first bytes of a file of /proc; empty when the process is gone or hides it.
QByteArray readStart(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return file.read(4096);
}

QString executableName(const QString &folder) {
    QString executable = QFile::symLinkTarget(folder + QStringLiteral("/exe"));
    // The executable was replaced (an update) or removed since the process started it.
    const QLatin1String deleted(" (deleted)");
    if (executable.endsWith(deleted))
        executable.chop(deleted.size());
    return fileName(executable);
}

// The kernel's name of the process: its program's file name, cut to kCommLength bytes.
QByteArray comm(const QString &folder) {
    QByteArray name = readStart(folder + QStringLiteral("/comm"));
    name.chop(1); // the newline
    return name;
}

QString firstArgumentName(const QString &folder) {
    const QByteArray arguments = readStart(folder + QStringLiteral("/cmdline"));
    return fileName(QFile::decodeName(arguments.left(arguments.indexOf('\0'))));
}

// The Flatpak app a sandboxed process belongs to, as its sandbox's /.flatpak-info says (the
// desktop portal's way of telling).
QString flatpakApp(const QString &folder) {
    QFile info(folder + QStringLiteral("/root/.flatpak-info"));
    if (!info.open(QIODevice::ReadOnly))
        return {};
    return keyFileGroup(info.readAll(), u"[Application]").value(QStringLiteral("name"));
}

// The names asked for, under what a process shows when it runs them.
class Wanted {
public:
    explicit Wanted(const QStringList &names) {
        for (const QString &name : names) {
            if (!name.endsWith(QLatin1String(".desktop"))) {
                addProgram(name, name);
            } else if (const auto launch = desktopLaunch(name)) {
                for (const QString &program : launch->programs)
                    addProgram(program, name);
                if (!launch->flatpakApp.isEmpty())
                    m_byFlatpakApp[launch->flatpakApp] << name;
            }
        }
    }

    [[nodiscard]] bool isEmpty() const { return m_byProgram.isEmpty() && m_byFlatpakApp.isEmpty(); }

    // The names that the process in `folder` (/proc/<pid>) runs.
    void collect(const QString &folder, QSet<QString> &found) const {
        add(m_byProgram.value(executableName(folder)), found);
        add(m_byComm.value(comm(folder)), found);
        add(m_byProgram.value(firstArgumentName(folder)), found);
        if (!m_byFlatpakApp.isEmpty())
            add(m_byFlatpakApp.value(flatpakApp(folder)), found);
    }

private:
    void addProgram(const QString &program, const QString &name) {
        if (program.isEmpty())
            return;
        m_byProgram[program] << name;
        m_byComm[QFile::encodeName(program).left(kCommLength)] << name;
    }

    static void add(const QStringList &names, QSet<QString> &found) {
        for (const QString &name : names)
            found.insert(name);
    }

    QHash<QString, QStringList> m_byProgram;
    QHash<QByteArray, QStringList> m_byComm;
    QHash<QString, QStringList> m_byFlatpakApp;
};

bool isProcessFolder(const QString &name) {
    return !name.isEmpty() &&
           std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.isDigit(); });
}

} // namespace

QSet<QString> runningLinuxApplications(const QStringList &names, const QString &procRoot) {
    const Wanted wanted(names);
    QSet<QString> found;
    if (wanted.isEmpty())
        return found;
    const QDir proc(procRoot);
    const uint user = getuid();
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort)) {
        const QString folder = proc.filePath(entry);
        // A process's folder belongs to its effective user (to root when it cannot be looked into).
        if (isProcessFolder(entry) && QFileInfo(folder).ownerId() == user)
            wanted.collect(folder, found);
    }
    return found;
}

} // namespace norvane
