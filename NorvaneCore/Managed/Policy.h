#pragma once

#include "Profiles/Profile.h"
#include "Status/SystemSettings.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <optional>

namespace norvane {

// What an administrator allows, as policy.json in the administrator's folder says: the longest
// idle times (general limits, narrowed by entries per power source), what the person may do, and
// a profile to apply at start. Every key is optional; the default policy allows everything.
//
// A profile holds one display, sleep and screen-saver value, and Pellor writes it for every power
// source. So the limit a profile must keep is the narrowest one given for any source, whether or
// not this computer has that source now: the profile's value takes effect on all of them (a UPS
// or a battery may be attached later), and the same profile passes on every computer of a fleet.
class Policy {
public:
    enum class Setting { display, sleep, screenSaver };
    enum class Source { battery, adapter, ups };

    // The longest time allowed for a setting, and the source whose entry sets it (none: the
    // general limit).
    struct Limit {
        qint64 minutes = 0;
        std::optional<Source> source;

        // "30 min", or "30 min (On battery)" when a source's entry sets it.
        [[nodiscard]] QString text() const;
    };
    // A setting longer than its limit. `seconds` is its value; 0, never, is longer than any.
    struct Excess {
        Setting setting;
        qint64 seconds;
        Limit limit;

        // Why the profile titled `profileTitle` cannot be applied, naming the limit.
        [[nodiscard]] QString refusal(const QString &profileTitle) const;
        // What is over the limit in the live settings, naming the limit.
        [[nodiscard]] QString liveDescription() const;
        // Why a profile of the person's stays unused while this holds, naming the limit.
        [[nodiscard]] QString reason() const;
        // Why a change to this value was not saved, naming the limit.
        [[nodiscard]] QString editRefusal() const;
    };

    static constexpr qint64 kVersion = 1;

    bool allowCustomProfiles = true;
    bool allowRules = true;
    bool allowRestore = true;
    std::optional<QString> startProfile; // a profile's identifier

    // Decodes policy.json. Throws PlatformError for malformed JSON and ConfigurationError naming
    // the key for an unknown version, an unknown key or a value of the wrong kind.
    [[nodiscard]] static Policy fromJson(const QByteArray &data);
    // The key of a source's entry in policy.json: "battery", "adapter", "ups".
    [[nodiscard]] static QString key(Source source);
    [[nodiscard]] QJsonObject toJson() const;

    // The narrowest limit on `setting`; none when the policy sets none.
    [[nodiscard]] std::optional<Limit> limit(Setting setting) const;
    // `seconds` of `setting` over its limit (0 is never, over any limit); none when within it,
    // when there is no limit or no value.
    [[nodiscard]] std::optional<Excess> excess(Setting setting,
                                               std::optional<qint64> seconds) const;
    [[nodiscard]] QList<Excess> excesses(const Profile &profile) const;
    // What the live settings hold over the limits; a setting that could not be read is no excess.
    [[nodiscard]] QList<Excess> excesses(const SystemSettings &live) const;
    // The management-policy message for the first limit `profile` exceeds; none when it keeps all.
    [[nodiscard]] std::optional<QString> violation(const Profile &profile) const;
    // The message refusing a restore of the original settings; none when restoring is allowed.
    [[nodiscard]] std::optional<QString> restoreRefusal() const;

    // The policy in the administrator's folder now. The default policy when there is none, or
    // when it is refused or damaged (ManagedSettings reports why).
    [[nodiscard]] static Policy inForce();

private:
    using Limits = QMap<Setting, qint64>;

    Limits m_general;
    QMap<Source, Limits> m_bySource;
};

} // namespace norvane
