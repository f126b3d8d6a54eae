#include "L10n.h"

#include "Installation.h"
#include "StringCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>

#ifndef NORVANE_CORE_BUNDLE_BUILD_PATH
#error "NORVANE_CORE_BUNDLE_BUILD_PATH must name the build tree's copy of the core bundle"
#endif

namespace norvane::L10n {

namespace {

// Off unless enabled (QT_LOGGING_RULES="norvane.resources.info=true"): which files a run uses.
Q_LOGGING_CATEGORY(lcResources, "norvane.resources", QtWarningMsg)

const QString kBundleName = QStringLiteral("Norvane_NorvaneCore.bundle");

// The language and script subtags of a BCP 47 identifier, lower-cased for comparison.
struct LanguageTag {
    QString language;
    QString script;

    explicit LanguageTag(const QString &identifier) {
        const QStringList parts = identifier.toLower().split(u'-', Qt::SkipEmptyParts);
        if (!parts.isEmpty())
            language = parts.first();
        if (parts.size() > 1 && parts[1].size() == 4 &&
            std::all_of(parts[1].cbegin(), parts[1].cend(), [](QChar c) { return c.isLetter(); }))
            script = parts[1];
    }
};

// Stands in for the platform's "preferred localizations" step: the supported code equal to the
// identifier, else one with the same language and script, else one with the same language.
std::optional<QString> bestMatch(const QString &identifier) {
    const LanguageTag wanted(identifier);
    const auto find = [&](auto &&matches) -> std::optional<QString> {
        for (const QString &code : supportedLanguages())
            if (matches(code))
                return code;
        return std::nullopt;
    };
    if (auto exact =
            find([&](const QString &c) { return c.compare(identifier, Qt::CaseInsensitive) == 0; }))
        return exact;
    if (auto script = find([&](const QString &c) {
            const LanguageTag tag(c);
            return tag.language == wanted.language && tag.script == wanted.script;
        }))
        return script;
    return find([&](const QString &c) { return LanguageTag(c).language == wanted.language; });
}

QString resourceBundle() {
    const QStringList candidates = resourceBundleCandidates();
    if (auto found = locateResourceBundle(candidates)) {
        qCInfo(lcResources).noquote() << "string tables:" << QDir(*found).absolutePath();
        return *found;
    }
    const QString message = QStringLiteral("could not load resource bundle: from ") +
                            candidates.join(QStringLiteral(" or "));
    qFatal("%s", qPrintable(message));
}

const StringCatalogue &catalogue() {
    static const StringCatalogue instance = StringCatalogue::load(resourceBundle());
    return instance;
}

} // namespace

Message::StringInterpolation::StringInterpolation(qsizetype literalCapacity,
                                                  qsizetype interpolationCount) {
    m_key.reserve(std::max<qsizetype>(literalCapacity, 0));
    m_arguments.reserve(std::max<qsizetype>(interpolationCount, 0));
}

void Message::StringInterpolation::appendLiteral(QStringView literal) {
    m_key.append(literal);
}

void Message::StringInterpolation::appendInterpolation(const QString &value) {
    m_key += u'{' + QString::number(m_arguments.size()) + u'}';
    m_arguments.append(value);
}

void Message::StringInterpolation::appendInterpolation(qint64 value) {
    appendInterpolation(QString::number(value));
}

const QStringList &supportedLanguages() {
    static const QStringList codes{QStringLiteral("en"), QStringLiteral("zh-Hans"),
                                   QStringLiteral("ja"), QStringLiteral("zh-Hant"),
                                   QStringLiteral("ko")};
    return codes;
}

QString normalizedIdentifier(const QString &identifier) {
    QString dashed = identifier;
    dashed.replace(u'_', u'-');
    const QString n = dashed.toLower();
    if (n == u"zh")
        return QStringLiteral("zh-Hans");
    if (!n.startsWith(u"zh-"))
        return dashed;
    if (n.contains(u"hant"))
        return QStringLiteral("zh-Hant");
    if (n.contains(u"hans"))
        return QStringLiteral("zh-Hans");
    const QStringList pieces = n.split(u'-', Qt::SkipEmptyParts);
    const bool traditional =
        pieces.contains(u"tw") || pieces.contains(u"hk") || pieces.contains(u"mo");
    return traditional ? QStringLiteral("zh-Hant") : QStringLiteral("zh-Hans");
}

QString language(const QStringList &preferred) {
    for (const QString &identifier : preferred)
        if (auto code = bestMatch(normalizedIdentifier(identifier)))
            return *code;
    return QStringLiteral("en");
}

QString currentLanguage() {
    static const QString code = language(QLocale::system().uiLanguages());
    return code;
}

QString text(const Message &message, const QString &language) {
    // A supported code chooses itself; skipping the matching keeps lookups cheap.
    const QString code = language.isEmpty()                        ? currentLanguage()
                         : supportedLanguages().contains(language) ? language
                                                                   : L10n::language({language});
    return catalogue().text(message, code);
}

QString substitute(QStringView text, const QStringList &arguments) {
    QString result;
    result.reserve(text.size() + 16 * arguments.size());
    qsizetype copiedUpTo = 0;
    for (qsizetype open = text.indexOf(u'{'); open >= 0; open = text.indexOf(u'{', open + 1)) {
        qsizetype close = open + 1;
        while (close < text.size() && text[close].unicode() >= u'0' &&
               text[close].unicode() <= u'9')
            ++close;
        if (close == open + 1 || close >= text.size() || text[close] != u'}')
            continue;
        bool ok = false;
        const qlonglong index = text.sliced(open + 1, close - open - 1).toLongLong(&ok);
        if (ok && index < arguments.size()) {
            result += text.sliced(copiedUpTo, open - copiedUpTo);
            result += arguments[qsizetype(index)];
            copiedUpTo = close + 1;
        }
        open = close; // matches never overlap
    }
    result += text.sliced(copiedUpTo);
    return result;
}

QStringList resourceBundleCandidates() {
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QDir executableDir(QCoreApplication::applicationDirPath());
#ifdef Q_OS_MACOS
        if (executableDir.absolutePath().endsWith(QStringLiteral(".app/Contents/MacOS")))
            candidates << QDir::cleanPath(executableDir.filePath(QStringLiteral("../Resources/")) +
                                          u'/' + kBundleName);
#endif
        candidates << executableDir.filePath(kBundleName);
        candidates << QDir::cleanPath(executableDir.filePath(
            QString::fromUtf8(Installation::dataFromExecutables) + u'/' + kBundleName));
    }
    candidates << QStringLiteral(NORVANE_CORE_BUNDLE_BUILD_PATH);
    return candidates;
}

std::optional<QString> locateResourceBundle(const QStringList &candidates) {
    for (const QString &candidate : candidates)
        if (QFileInfo(candidate).isDir())
            return candidate;
    return std::nullopt;
}

} // namespace norvane::L10n
