#include "Profile.h"

#include "Graphemes.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"
#include "Platform/SystemIdentity.h"

#include <QList>
#include <optional>

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

// The pictographs an emoji sequence is made of: the Supplemental Symbols and Pictographs and
// the blocks around them, the dingbats, arrows, technical and miscellaneous symbols.
bool isPictograph(char32_t codePoint) {
    return (codePoint >= 0x1F000 && codePoint <= 0x1FAFF) ||
           (codePoint >= 0x2190 && codePoint <= 0x21FF) ||
           (codePoint >= 0x2300 && codePoint <= 0x23FF) ||
           (codePoint >= 0x2600 && codePoint <= 0x27BF) ||
           (codePoint >= 0x2B00 && codePoint <= 0x2BFF) || codePoint == 0x00A9 ||
           codePoint == 0x00AE || codePoint == 0x203C || codePoint == 0x2049;
}

// What may follow a pictograph inside one emoji: a variation selector or a skin tone.
bool modifiesPictograph(char32_t codePoint) {
    return codePoint == 0xFE0F || codePoint == 0xFE0E ||
           (codePoint >= 0x1F3FB && codePoint <= 0x1F3FF);
}

// The text's code points; none when a surrogate is not paired, which would hide the code unit
// after it from every check.
std::optional<QList<char32_t>> codePoints(const QString &text) {
    QList<char32_t> points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isLowSurrogate())
            return std::nullopt;
        if (!unit.isHighSurrogate()) {
            points << unit.unicode();
            continue;
        }
        if (i + 1 == text.size() || !text.at(i + 1).isLowSurrogate())
            return std::nullopt;
        points << QChar::surrogateToUcs4(unit, text.at(++i));
    }
    return points;
}

// A control character anywhere, an unpaired surrogate, or a format character outside an emoji.
// Format characters belong inside emoji sequences only: a zero-width joiner between two
// pictographs ("👩‍💻"), the tags of a subdivision flag after its black flag. Anywhere else
// (a zero-width space, a direction override, a joiner after a letter) they are invisible, and
// "Edge" and "Edge" with a joiner would look the same.
bool containsControlCharacter(const QString &text) {
    const std::optional<QList<char32_t>> points = codePoints(text);
    if (!points)
        return true;
    // An emoji sequence is under way: a pictograph, maybe modified or joined to another.
    bool inEmoji = false;
    for (qsizetype i = 0; i < points->size(); ++i) {
        const char32_t point = points->at(i);
        const auto category = QChar::category(point);
        if (category == QChar::Other_Control)
            return true;
        if (isPictograph(point)) {
            inEmoji = true;
            continue;
        }
        if (inEmoji && modifiesPictograph(point))
            continue;
        if (category == QChar::Other_Format) {
            const bool joinsTwoPictographs =
                point == 0x200D && i + 1 < points->size() && isPictograph(points->at(i + 1));
            const bool tagsAFlag = point >= 0xE0020 && point <= 0xE007F;
            if (!inEmoji || (point == 0x200D ? !joinsTwoPictographs : !tagsAFlag))
                return true;
            continue;
        }
        inEmoji = false;
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
