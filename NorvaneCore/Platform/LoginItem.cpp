#include "LoginItem.h"

#include "DurableFile.h"
#include "Installation.h"
#include "Platform/ConfigurationError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace norvane {

namespace {

// An Exec argument: quoted when it holds a character the desktop entry format reserves, with
// the quoting escapes, then the string escape of backslashes and the field-code escape of "%".
QString execArgument(QString argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::any_of(argument.cbegin(), argument.cend(),
                    [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    argument.replace(u'\\', QStringLiteral("\\\\"));
    argument.replace(u'%', QStringLiteral("%%"));
    return argument;
}

} // namespace

std::unique_ptr<LoginItem> LoginItem::system() {
#ifdef Q_OS_MACOS
    return makeMainAppLoginItem();
#else
    return std::make_unique<AutostartEntry>();
#endif
}

AutostartEntry::AutostartEntry(QString folder, QString executable)
    : m_folder(std::move(folder)),
      m_executable(executable.isEmpty() ? QCoreApplication::applicationFilePath()
                                        : std::move(executable)) {}

QString AutostartEntry::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString AutostartEntry::filePath() const {
    return QDir(m_folder).filePath(QString::fromUtf8(Installation::applicationId) +
                                   QStringLiteral(".desktop"));
}

bool AutostartEntry::isEnabled() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd())
        if (file.readLine().trimmed() == "Hidden=true")
            return false;
    return true;
}

void AutostartEntry::setEnabled(bool enabled) {
    if (enabled) {
        if (!QDir().mkpath(m_folder))
            throw PlatformError(QStringLiteral("Could not create the folder “%1”").arg(m_folder));
        writeFileDurably(filePath(), contents(m_executable));
        return;
    }
    QFile file(filePath());
    if (file.exists() && !file.remove())
        throw PlatformError(
            QStringLiteral("Could not remove “%1”: %2").arg(filePath(), file.errorString()));
}

QByteArray AutostartEntry::contents(const QString &executable) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Pellor\n"
                          "Exec=%1 --login\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(executable), QString::fromUtf8(Installation::applicationId))
        .toUtf8();
}

} // namespace norvane
