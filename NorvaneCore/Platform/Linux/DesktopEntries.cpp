#include "DesktopEntries.h"

#include <QCollator>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>

namespace norvane {

namespace {

QString fileName(const QString &path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString unescaped(QStringView value) {
    static const QHash<QChar, QChar> escapes{
        {u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}, {u'r', u'\r'}, {u'\\', u'\\'}};
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const auto escape = value[i] == u'\\' && i + 1 < value.size()
                                ? escapes.constFind(value[i + 1])
                                : escapes.cend();
        if (escape == escapes.cend()) {
            result += value[i];
        } else {
            result += *escape;
            ++i;
        }
    }
    return result;
}

bool isFieldCode(const QString &argument) {
    return argument.size() == 2 && argument[0] == u'%' && argument[1].isLetter();
}

// An Exec value split into its arguments: separated by blanks, or "quoted" with a backslash
// before each of " ` $ \ inside; field codes (%f, %U, …) left out.
QStringList execArguments(const QString &exec) {
    QStringList arguments;
    QString argument;
    bool started = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == u'\\' && i + 1 < exec.size()) {
            argument += exec[++i];
        } else if (c == u'"') {
            quoted = !quoted;
            started = true;
        } else if (!quoted && c.isSpace()) {
            if (started)
                arguments << argument;
            argument.clear();
            started = false;
        } else {
            argument += c;
            started = true;
        }
    }
    if (started)
        arguments << argument;
    arguments.removeIf(isFieldCode);
    return arguments;
}

// `flatpak run [options] APP …`: APP; empty for any other command.
QString flatpakApp(const QStringList &arguments) {
    if (arguments.size() < 2 || fileName(arguments[0]) != u"flatpak" || arguments[1] != u"run")
        return {};
    for (qsizetype i = 2; i < arguments.size(); ++i)
        if (!arguments[i].startsWith(u'-'))
            return arguments[i];
    return {};
}

// The entry file for `id` in `folder`: the file of that name, or, a dash standing for a subfolder,
// the entry for the rest of the id in that subfolder.
std::optional<QString> entryFile(const QString &folder, const QString &id) {
    if (id.startsWith(u'.')) // hidden files hold no entries, and ".." leads out of the folder
        return std::nullopt;
    const QString file = folder + u'/' + id;
    if (QFileInfo(file).isFile())
        return file;
    for (qsizetype dash = id.indexOf(u'-'); dash > 0; dash = id.indexOf(u'-', dash + 1)) {
        const QString subfolder = folder + u'/' + id.left(dash);
        if (QFileInfo(subfolder).isDir())
            if (auto found = entryFile(subfolder, id.mid(dash + 1)))
                return found;
    }
    return std::nullopt;
}

std::optional<QString> entryFile(const QString &desktopId) {
    if (desktopId.contains(u'/'))
        return std::nullopt;
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        if (auto found = entryFile(folder, desktopId))
            return found;
    return std::nullopt;
}

// The desktop-file id of the entry at `path` under `folder`: its path there with '/' as '-'.
QString desktopId(const QString &folder, const QString &path) {
    return path.mid(folder.size() + 1).replace(u'/', u'-');
}

// Name[zh_TW], then Name[zh], then Name.
QString localizedName(const QHash<QString, QString> &keys, const QString &language) {
    for (const QString &suffix : {language, language.section(u'_', 0, 0)})
        if (QString name = keys.value(QStringLiteral("Name[") + suffix + u']'); !name.isEmpty())
            return name;
    return keys.value(QStringLiteral("Name"));
}

} // namespace

QList<InstalledApplication> installedApplications(const QString &language) {
    QList<InstalledApplication> applications;
    QSet<QString> seen;
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator entries(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString path = entries.next();
            const QString id = desktopId(folder, path);
            if (seen.contains(id))
                continue;
            seen.insert(id); // the first folder's entry hides the later ones, shown or not
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QHash<QString, QString> keys =
                keyFileGroup(file.read(qint64(64) * 1024), u"[Desktop Entry]");
            const QString name = localizedName(keys, language);
            if (keys.value(QStringLiteral("Type")) != u"Application" || name.isEmpty() ||
                keys.value(QStringLiteral("NoDisplay")) == u"true" ||
                keys.value(QStringLiteral("Hidden")) == u"true")
                continue;
            applications << InstalledApplication{id, name};
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(applications.begin(), applications.end(),
                     [&](const InstalledApplication &a, const InstalledApplication &b) {
                         return collator.compare(a.name, b.name) < 0;
                     });
    return applications;
}

QHash<QString, QString> keyFileGroup(const QByteArray &contents, QStringView group) {
    QHash<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray &rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == group;
        } else if (inGroup && !line.startsWith(u'#')) {
            const qsizetype equals = line.indexOf(u'=');
            if (equals > 0)
                keys.insert(line.left(equals).trimmed(),
                            unescaped(QStringView(line).mid(equals + 1).trimmed()));
        }
    }
    return keys;
}

std::optional<DesktopLaunch> desktopLaunch(const QString &desktopId) {
    const auto path = entryFile(desktopId);
    if (!path)
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto entry = keyFileGroup(file.readAll(), u"[Desktop Entry]");
    const QStringList exec = execArguments(entry.value(QStringLiteral("Exec")));
    DesktopLaunch launch;
    launch.flatpakApp = flatpakApp(exec);
    if (!exec.isEmpty() && launch.flatpakApp.isEmpty())
        launch.programs << fileName(exec[0]);
    if (const QString tryExec = entry.value(QStringLiteral("TryExec")); !tryExec.isEmpty())
        launch.programs << fileName(tryExec);
    return launch;
}

} // namespace norvane
