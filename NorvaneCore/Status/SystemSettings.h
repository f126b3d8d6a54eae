#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace norvane {

struct Platform;

// A read-only snapshot of the Mac's live power and idle state. Every piece that cannot be read
// stays empty; a snapshot is always produced.
struct SystemSettings {
    std::optional<qint64> displayMinutes;
    std::optional<qint64> sleepMinutes;
    std::optional<bool> lowPower;
    std::optional<qint64> screenSaverSeconds;
    QString source; // "Power adapter", "Battery", "UPS" or "Unavailable", localized
    std::optional<QString> sleepPreventers;
    std::optional<bool> displayAssertion;
    std::optional<bool> systemAssertion;
    QDateTime readAt;
    std::optional<QString> error;

    // Reads everything in turn: pmset -g live, pmset -g batt, the assertion status and the
    // screen-saver idle time. Blocks while the two pmset runs last; never fails.
    [[nodiscard]] static SystemSettings read();
    [[nodiscard]] static SystemSettings read(const Platform &platform);

    // The "name value" lines of a pmset query: the first word of each line mapped to its second
    // word when that is a base-10 64-bit integer; later lines replace earlier ones.
    [[nodiscard]] static QHash<QString, qint64> parse(const QString &text);

    // The localized text for an idle timer in minutes.
    [[nodiscard]] static QString duration(std::optional<qint64> minutes);

private:
    // The standard output of pmset run with `arguments`; throws when it cannot start or exits
    // with a status other than 0.
    static QString command(const Platform &platform, const QStringList &arguments);
    static void readLive(SystemSettings &settings, const QString &output);
    static void readAssertions(SystemSettings &settings, const Platform &platform);
    static void readScreenSaver(SystemSettings &settings, const Platform &platform);
};

} // namespace norvane
