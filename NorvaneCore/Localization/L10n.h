#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>

namespace norvane::L10n {

// A text to look up: the English source text as key, with {0}, {1}, ... where the arguments go.
struct Message {
    QString key;
    QStringList arguments;

    // Assembles a message piece by piece: literals go into the key, each interpolated value
    // becomes the next numbered placeholder and the next argument.
    class StringInterpolation {
    public:
        StringInterpolation(qsizetype literalCapacity, qsizetype interpolationCount);

        void appendLiteral(QStringView literal);
        void appendInterpolation(const QString &value);
        void appendInterpolation(qint64 value);
        void appendInterpolation(int value) { appendInterpolation(qint64(value)); }

        [[nodiscard]] Message message() const { return {m_key, m_arguments}; }

    private:
        QString m_key;
        QStringList m_arguments;
    };

    Message(const char *literal) : key(QString::fromUtf8(literal)) {} // NOLINT: literal form
    Message(QString k) : key(std::move(k)) {}                         // NOLINT: literal form
    Message(QString k, QStringList args) : key(std::move(k)), arguments(std::move(args)) {}
    Message(const char *k, QStringList args)
        : key(QString::fromUtf8(k)), arguments(std::move(args)) {}
    Message(const StringInterpolation &interpolation)
        : Message(interpolation.message()) {} // NOLINT

    friend bool operator==(const Message &, const Message &) = default;
};

// The codes of the supported languages, in order: en, zh-Hans, ja, zh-Hant, ko.
const QStringList &supportedLanguages();

// Picks the supported language for a list of preferred language identifiers (most preferred
// first). Always returns an element of supportedLanguages().
QString language(const QStringList &preferred);

// The language chosen once per process from the user's preferred languages.
QString currentLanguage();

// Looks the message up in the given language (empty: the current language) and substitutes its
// arguments.
QString text(const Message &message, const QString &language = {});

// Marks a key that is looked up later through a variable, so the key scanner still sees it.
constexpr const char *noop(const char *key) {
    return key;
}

// Substitutes {N} placeholders of an already translated text. Placeholders are found once, in
// text order, and replaced by arguments[N]; inserted values are never scanned again, and a
// placeholder without an argument stays as written.
QString substitute(QStringView text, const QStringList &arguments);

// Normalizes one preferred language identifier before matching (the Chinese variants collapse to
// zh-Hans or zh-Hant; everything else only has "_" turned into "-").
QString normalizedIdentifier(const QString &identifier);

// The resource bundle locations tried in order: the application bundle's resources (a macOS
// .app), beside the executable, the installed data folder relative to the executable
// (<prefix>/share/pellor for <prefix>/bin), then the build tree's copy fixed at configure time.
QStringList resourceBundleCandidates();

// The first candidate folder that exists, if any.
std::optional<QString> locateResourceBundle(const QStringList &candidates);

} // namespace norvane::L10n
