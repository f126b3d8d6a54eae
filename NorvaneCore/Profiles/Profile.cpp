#include "Profile.h"

#include "Graphemes.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"
#include "Platform/SystemIdentity.h"

#include <QTextBoundaryFinder>

namespace norvane {

namespace {

constexpr qint64 kMaxMinutes = 1440;
constexpr qint64 kMaxScreenSaverSeconds = 86400;
constexpr int kMaxTitleLength = 32;

const char *kNameMessage = L10n::noop("Names must contain 1–32 characters and no line breaks.");
const char *kEmptyNameMessage = L10n::noop("Enter a name for the profile.");
const char *kControlMessage =
    L10n::noop("Names cannot contain line breaks, tabs or other invisible control characters.");
const char *kMinutesMessage = L10n::noop(
    "Enter a whole number from 0 to 1440 minutes. Zero means never or no automatic return.");

// White space and line breaks as trimmed from titles: space separators, tab, and the line
// breaks LF, VT, FF, CR, NEL, LS and PS.
bool isTrimmedSpace(QChar c) {
    switch (c.unicode()) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return c.category() == QChar::Separator_Space;
    }
}

QString trimmed(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmedSpace(text[begin]))
        ++begin;
    while (end > begin && isTrimmedSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// A control character anywhere, or a format character that stands on its own. A format
// character inside a user-perceived character belongs to it, as the joiners of an emoji
// sequence ("👩‍💻") or the tags of a subdivision flag do; one that starts a character of its
// own (a zero-width space, a direction override) is invisible and refused.
bool containsControlCharacter(const QString &text) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype i = 0; i < text.size();) {
        const char32_t codePoint = text.at(i).isHighSurrogate() && i + 1 < text.size()
                                       ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                       : char32_t(text.at(i).unicode());
        const auto category = QChar::category(codePoint);
        if (category == QChar::Other_Control)
            return true;
        if (category == QChar::Other_Format) {
            graphemes.setPosition(i);
            if (graphemes.isAtBoundary())
                return true;
        }
        i += QChar::requiresSurrogates(codePoint) ? 2 : 1;
    }
    return false;
}

bool inRange(qint64 value, qint64 max) {
    return value >= 0 && value <= max;
}

[[noreturn]] void fail(const char *key) {
    throw ConfigurationError::message(L10n::text(key));
}

QString durationText(qint64 minutes) {
    if (minutes == 0)
        return L10n::text("Never");
    return L10n::text({"{0} min", {QString::number(minutes)}});
}

const char *presetTitleKey(const QString &id) {
    static const QHash<QString, const char *> keys{
        {QStringLiteral("normal"), L10n::noop("Normal")},
        {QStringLiteral("vibe"), L10n::noop("Vibe")},
        {QStringLiteral("focus"), L10n::noop("Focus")},
        {QStringLiteral("presentation"), L10n::noop("Presentation")},
        {QStringLiteral("download"), L10n::noop("Download")},
    };
    return keys.value(id, nullptr);
}

} // namespace

Profile::Profile(QString id, QString title, ProfileIcon icon, qint64 displayMinutes,
                 qint64 sleepMinutes, qint64 screenSaverSeconds, qint64 defaultMinutes)
    : id(std::move(id)), title(std::move(title)), icon(icon), displayMinutes(displayMinutes),
      sleepMinutes(sleepMinutes), screenSaverSeconds(screenSaverSeconds),
      defaultMinutes(defaultMinutes) {}

const QList<Profile> &Profile::presets() {
    static const QList<Profile> all{
        {QStringLiteral("normal"), QStringLiteral("Normal"), ProfileIcon::leaf, 5, 15, 300, 0},
        {QStringLiteral("vibe"), QStringLiteral("Vibe"), ProfileIcon::sparkles, 0, 0, 0, 0},
        {QStringLiteral("focus"), QStringLiteral("Focus"), ProfileIcon::focus, 0, 0, 0, 25},
        {QStringLiteral("presentation"), QStringLiteral("Presentation"), ProfileIcon::presentation,
         0, 0, 0, 60},
        {QStringLiteral("download"), QStringLiteral("Download"), ProfileIcon::download, 5, 0, 300,
         0},
    };
    return all;
}

const Profile &Profile::normal() {
    return presets()[0];
}
const Profile &Profile::vibe() {
    return presets()[1];
}
const Profile &Profile::focus() {
    return presets()[2];
}
const Profile &Profile::presentation() {
    return presets()[3];
}
const Profile &Profile::download() {
    return presets()[4];
}

bool Profile::isPreset() const {
    const auto &all = presets();
    return std::any_of(all.cbegin(), all.cend(), [&](const Profile &p) { return p.id == id; });
}

bool Profile::isNormal() const {
    return id == normal().id;
}

QString Profile::localizedTitle(const QString &language) const {
    if (const char *key = presetTitleKey(id))
        return L10n::text(key, language);
    return title;
}

QString Profile::subtitle() const {
    // Where the screen saver starts with the display, the profile's own value is not used.
    const QString screenSaver = currentSystem().ownScreenSaverTimer
                                    ? durationText(screenSaverSeconds / 60)
                                    : L10n::text("follows display");
    return L10n::text({"Display {0} · Sleep {1} · Screen saver {2}",
                       {durationText(displayMinutes), durationText(sleepMinutes), screenSaver}});
}

QString Profile::detail() const {
    if (defaultMinutes <= 0)
        return subtitle();
    return subtitle() +
           L10n::text({" · Return to Normal after {0} min", {QString::number(defaultMinutes)}});
}

Profile Profile::validated() const {
    const QString trimmedTitle = trimmed(title);
    if (id.isEmpty())
        fail(kNameMessage);
    if (trimmedTitle.isEmpty())
        fail(kEmptyNameMessage);
    if (const qsizetype length = graphemes::count(trimmedTitle); length > kMaxTitleLength)
        throw ConfigurationError::message(
            L10n::text({"Names can have at most 32 characters; this one has {0}.",
                        {QString::number(length)}}));
    if (containsControlCharacter(trimmedTitle))
        fail(kControlMessage);
    if (!inRange(displayMinutes, kMaxMinutes) || !inRange(sleepMinutes, kMaxMinutes))
        fail(kMinutesMessage);
    if (!inRange(screenSaverSeconds, kMaxScreenSaverSeconds) || screenSaverSeconds % 60 != 0)
        fail(kMinutesMessage);
    if (!inRange(defaultMinutes, kMaxMinutes))
        fail(kMinutesMessage);
    if (isNormal() && defaultMinutes != 0)
        fail(L10n::noop("Normal is the return profile and cannot have an automatic return timer."));
    const auto &all = presets();
    const auto preset =
        std::find_if(all.cbegin(), all.cend(), [&](const Profile &p) { return p.id == id; });
    if (preset != all.cend() && trimmedTitle != preset->title)
        fail(L10n::noop("Preset names cannot be changed. Create a custom profile instead."));

    Profile copy = *this;
    copy.title = trimmedTitle;
    return copy;
}

QJsonObject Profile::toJson() const {
    return {
        {QStringLiteral("id"), id},
        {QStringLiteral("title"), title},
        {QStringLiteral("icon"), icon.rawValue()},
        {QStringLiteral("displayMinutes"), displayMinutes},
        {QStringLiteral("sleepMinutes"), sleepMinutes},
        {QStringLiteral("screenSaverSeconds"), screenSaverSeconds},
        {QStringLiteral("defaultMinutes"), defaultMinutes},
    };
}

Profile Profile::fromJson(const QJsonObject &object) {
    const QString rawIcon = json::requireString(object, QStringLiteral("icon"));
    const auto icon = ProfileIcon::fromRawValue(rawIcon);
    if (!icon)
        throw PlatformError(
            QStringLiteral("The data couldn’t be read because \"%1\" is not a known icon.")
                .arg(rawIcon));
    return {json::requireString(object, QStringLiteral("id")),
            json::requireString(object, QStringLiteral("title")),
            *icon,
            json::requireInteger(object, QStringLiteral("displayMinutes")),
            json::requireInteger(object, QStringLiteral("sleepMinutes")),
            json::requireInteger(object, QStringLiteral("screenSaverSeconds")),
            json::requireInteger(object, QStringLiteral("defaultMinutes"))};
}

} // namespace norvane
