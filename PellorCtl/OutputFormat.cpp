#include "OutputFormat.h"

#include "Localization/L10n.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace norvane::OutputFormat {

namespace {

using namespace Qt::StringLiterals;

template <typename T> QJsonValue orNull(const std::optional<T> &value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

QByteArray document(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// Which policy is in force and what the administrator's folder provides, for an inventory.
QJsonObject administratorJson(const ManagedSettings &administrator) {
    QJsonArray profiles;
    for (const Profile &profile : administrator.profiles())
        profiles.append(profile.id);
    QJsonArray rules;
    for (const Rule &rule : administrator.rules())
        rules.append(rule.id);
    const std::optional<Policy> &policy = administrator.policy();
    return {{u"folder"_s, administrator.folder()},
            {u"policy"_s, policy ? QJsonValue(policy->toJson()) : QJsonValue()},
            {u"profiles"_s, profiles},
            {u"rules"_s, rules},
            {u"problems"_s, QJsonArray::fromStringList(administrator.problems())}};
}

// The same setting in the words of the status's "settings" object.
Drift::Setting driftSetting(Policy::Setting setting) {
    switch (setting) {
    case Policy::Setting::display:
        return Drift::Setting::display;
    case Policy::Setting::sleep:
        return Drift::Setting::sleep;
    case Policy::Setting::screenSaver:
        break;
    }
    return Drift::Setting::screenSaver;
}

bool isActive(const Profile &profile, const Application &application) {
    return application.session.profileId == profile.id;
}

// In the same words as the display and sleep lines ("After 7 min of inactivity").
QString screenSaverText(std::optional<qint64> seconds) {
    if (!seconds || *seconds < 0)
        return L10n::text("Unavailable");
    return SystemSettings::duration((*seconds + 59) / 60);
}

QString onOff(std::optional<bool> value) {
    if (!value)
        return L10n::text("Unavailable");
    return *value ? L10n::text("On") : L10n::text("Off");
}

QString powerText(const PowerStatus &power) {
    QString text = power.source == PowerStatus::Source::adapter   ? L10n::text("Power adapter")
                   : power.source == PowerStatus::Source::battery ? L10n::text("Battery")
                   : power.source == PowerStatus::Source::ups     ? u"UPS"_s
                                                                  : L10n::text("Unavailable");
    if (power.percentage)
        text += u" · "_s + QString::number(*power.percentage) + u'%';
    if (power.isCharging)
        text += u" · "_s + L10n::text("Charging");
    else if (power.isCharged)
        text += u" · "_s + L10n::text("Fully charged · Plugged in");
    return text;
}

QString wakeRequestsText(const SystemSettings &settings) {
    if (settings.systemAssertion.value_or(false) || settings.displayAssertion.value_or(false)) {
        const QString preventers = settings.sleepPreventers.value_or(QString());
        return systemText(
                   "Wake requests are active. Other apps may prevent your Mac from sleeping.\n",
                   "Wake requests are active. Other apps may prevent this computer from sleeping.\n") +
               (preventers.isEmpty() ? L10n::text("The system did not provide process information.")
                                     : preventers);
    }
    if (!settings.systemAssertion)
        return L10n::text("Wake requests are currently unavailable.");
    return L10n::text("No requests preventing sleep were detected.");
}

QString applicationText(const Application &application) {
    const control::SessionState &session = application.session;
    if (!session.profileId)
        return application.running ? session.timeLabel : L10n::text("Not running");
    const QString text = session.title + u" · "_s + session.timeLabel;
    return application.running ? text : L10n::text({"{0} (Pellor is not running)", {text}});
}

// "GNOME", "the simulated Mac", or the note that says why the simulated Mac stands in.
QString systemName(const SystemIdentity &system) {
    if (!system.note.isEmpty())
        return system.note;
    return system.id == u"simulated" ? L10n::text("the simulated Mac") : system.name;
}

QString sourceName(PowerStatus::Source source) {
    switch (source) {
    case PowerStatus::Source::adapter:
        return u"adapter"_s;
    case PowerStatus::Source::battery:
        return u"battery"_s;
    case PowerStatus::Source::ups:
        return u"ups"_s;
    case PowerStatus::Source::unknown:
        break;
    }
    return u"unknown"_s;
}

// The key of the setting in the "settings" object of the status.
QString settingKey(Drift::Setting setting) {
    switch (setting) {
    case Drift::Setting::display:
        return u"displaySleepMinutes"_s;
    case Drift::Setting::sleep:
        return u"systemSleepMinutes"_s;
    case Drift::Setting::screenSaver:
        break;
    }
    return u"screenSaverSeconds"_s;
}

QString settingName(Drift::Setting setting) {
    switch (setting) {
    case Drift::Setting::display:
        return L10n::text("Turn Display Off");
    case Drift::Setting::sleep:
        return L10n::text("System Sleep");
    case Drift::Setting::screenSaver:
        break;
    }
    return L10n::text("Screen Saver");
}

QString driftValue(Drift::Setting setting, qint64 value) {
    const qint64 minutes = setting == Drift::Setting::screenSaver ? value / 60 : value;
    if (minutes == 0)
        return L10n::text("Never");
    return L10n::text({"{0} min", {QString::number(minutes)}});
}

// One line per setting changed outside Pellor: "Turn Display Off is 7 min now; Vibe sets Never."
QString driftText(const Application &application) {
    QStringList lines;
    for (const Drift &drift : application.drift)
        lines << L10n::text(
            {"{0} is {1} now; {2} sets {3}.",
             {settingName(drift.setting), driftValue(drift.setting, drift.live),
              application.session.title, driftValue(drift.setting, drift.applied)}});
    return lines.join(u'\n');
}

QString stateText(RuleListing::Entry::State state) {
    switch (state) {
    case RuleListing::Entry::State::holding:
        return L10n::text("holding now");
    case RuleListing::Entry::State::notHolding:
        return L10n::text("not holding");
    case RuleListing::Entry::State::disabled:
        return L10n::text("disabled");
    case RuleListing::Entry::State::offByPolicy:
        return L10n::text("off: the management policy allows no rules of your own");
    case RuleListing::Entry::State::seenByPellor:
        return L10n::text("decided by Pellor, which sees the displays");
    case RuleListing::Entry::State::broken:
        break;
    }
    return L10n::text("broken: its profile was deleted");
}

QString stateName(RuleListing::Entry::State state) {
    switch (state) {
    case RuleListing::Entry::State::holding:
        return u"holding"_s;
    case RuleListing::Entry::State::notHolding:
        return u"notHolding"_s;
    case RuleListing::Entry::State::disabled:
        return u"disabled"_s;
    case RuleListing::Entry::State::offByPolicy:
        return u"offByPolicy"_s;
    case RuleListing::Entry::State::seenByPellor:
        return u"decidedByPellor"_s;
    case RuleListing::Entry::State::broken:
        break;
    }
    return u"broken"_s;
}

// A broken rule names its profile by the identifier it still holds.
QString sentence(const RuleListing::Entry &entry) {
    return entry.rule.sentence(entry.profileTitle.value_or(entry.rule.profileId));
}

QJsonObject applicationJson(const Application &application) {
    const control::SessionState &session = application.session;
    QJsonObject object{{u"running"_s, application.running}, {u"applying"_s, session.applying}};
    object[u"profile"_s] = orNull(session.profileId);
    object[u"title"_s] = session.profileId ? QJsonValue(session.title) : QJsonValue();
    object[u"secondsLeft"_s] = orNull(session.secondsLeft);
    QJsonArray drift;
    for (const Drift &changed : application.drift)
        drift.append(QJsonObject{{u"setting"_s, settingKey(changed.setting)},
                                 {u"live"_s, changed.live},
                                 {u"profile"_s, changed.applied}});
    object[u"changedOutsidePellor"_s] = drift;
    object[u"rule"_s] =
        application.rule
            ? QJsonValue(QJsonObject{{u"id"_s, application.rule->id},
                                     {u"description"_s, application.rule->description}})
            : QJsonValue();
    return object;
}

} // namespace

QString checkText(const QList<Policy::Excess> &overLimits, const Application &application) {
    QStringList lines;
    for (const Policy::Excess &excess : overLimits)
        lines << excess.liveDescription();
    if (!application.drift.isEmpty())
        lines << driftText(application);
    if (lines.isEmpty())
        lines << L10n::text(
            "The live settings keep the management policy and are what the applied profile set.");
    return lines.join(u'\n') + u'\n';
}

QByteArray checkJson(const QList<Policy::Excess> &overLimits, const Application &application) {
    QJsonArray over;
    for (const Policy::Excess &excess : overLimits) {
        const Drift::Setting setting = driftSetting(excess.setting);
        const qint64 live =
            setting == Drift::Setting::screenSaver ? excess.seconds : excess.seconds / 60;
        over.append(QJsonObject{{u"setting"_s, settingKey(setting)},
                                {u"live"_s, live},
                                {u"limitMinutes"_s, excess.limit.minutes},
                                {u"source"_s, excess.limit.source
                                                  ? QJsonValue(Policy::key(*excess.limit.source))
                                                  : QJsonValue()},
                                {u"description"_s, excess.liveDescription()}});
    }
    return document({{u"version"_s, jsonVersion},
                     {u"withinPolicy"_s, overLimits.isEmpty()},
                     {u"overLimits"_s, over},
                     {u"asApplied"_s, application.drift.isEmpty()},
                     {u"application"_s, applicationJson(application)},
                     {u"administrator"_s, administratorJson(application.administrator)}});
}

QString listText(const QList<Profile> &profiles, const Application &application) {
    qsizetype idWidth = 0;
    qsizetype titleWidth = 0;
    for (const Profile &profile : profiles) {
        idWidth = std::max(idWidth, profile.id.size());
        titleWidth = std::max(titleWidth, profile.localizedTitle().size());
    }
    QString text;
    for (const Profile &profile : profiles) {
        text +=
            (isActive(profile, application) ? u"* "_s : u"  "_s) +
            profile.id.leftJustified(idWidth) + u"  "_s +
            profile.localizedTitle().leftJustified(titleWidth) + u"  "_s + profile.detail() +
            (profile.managed ? u" · "_s + L10n::text("Provided by your organisation") : QString()) +
            u'\n';
    }
    return text;
}

QByteArray listJson(const QList<Profile> &profiles, const Application &application) {
    QJsonArray rows;
    for (const Profile &profile : profiles) {
        rows.append(QJsonObject{{u"id"_s, profile.id},
                                {u"title"_s, profile.localizedTitle()},
                                {u"preset"_s, profile.isPreset()},
                                {u"managed"_s, profile.managed},
                                {u"displayMinutes"_s, profile.displayMinutes},
                                {u"sleepMinutes"_s, profile.sleepMinutes},
                                {u"screenSaverMinutes"_s, profile.screenSaverSeconds / 60},
                                {u"returnMinutes"_s, profile.defaultMinutes},
                                {u"active"_s, isActive(profile, application)}});
    }
    return document({{u"version"_s, jsonVersion},
                     {u"profiles"_s, rows},
                     {u"application"_s, applicationJson(application)},
                     {u"administrator"_s, administratorJson(application.administrator)}});
}

QString statusText(const SystemSettings &settings, const PowerStatus &power,
                   const Application &application, const SystemIdentity &system) {
    QList<std::pair<QString, QString>> lines{
        {L10n::text("Turn Display Off"), SystemSettings::duration(settings.displayMinutes)},
        {L10n::text("System Sleep"), SystemSettings::duration(settings.sleepMinutes)},
        {L10n::text("Screen Saver"), system.ownScreenSaverTimer
                                         ? screenSaverText(settings.screenSaverSeconds)
                                         : L10n::text("Follows Turn Display Off")},
        {L10n::text("Low Power Mode"), onOff(settings.lowPower)},
        {L10n::text("Power Source"), powerText(power)},
        {L10n::text("Wake Requests from Other Apps"), wakeRequestsText(settings)},
        {u"Pellor"_s, applicationText(application)},
        {L10n::text("System"), systemName(system)},
    };
    if (application.rule)
        lines.insert(lines.size() - 1,
                     {L10n::text("Applied by rule"), application.rule->description});
    if (application.rulesWaitForPellor)
        lines.insert(lines.size() - 1, {L10n::text("Rules"), rulesNeedPellor()});
    if (!application.drift.isEmpty())
        lines.insert(lines.size() - 1,
                     {L10n::text("Changed Outside Pellor"), driftText(application)});
    QString text;
    for (const auto &[label, value] : lines)
        text += label + u": "_s + QString(value).replace(u'\n', u"\n    "_s) + u'\n';
    return text;
}

QByteArray statusJson(const SystemSettings &settings, const PowerStatus &power,
                      const Application &application, const SystemIdentity &system) {
    const QJsonObject live{
        {u"displaySleepMinutes"_s, orNull(settings.displayMinutes)},
        {u"systemSleepMinutes"_s, orNull(settings.sleepMinutes)},
        {u"screenSaverSeconds"_s, orNull(settings.screenSaverSeconds)},
        {u"lowPowerMode"_s, orNull(settings.lowPower)},
        {u"sleepPreventers"_s, orNull(settings.sleepPreventers)},
        {u"displaySleepPrevented"_s, orNull(settings.displayAssertion)},
        {u"systemSleepPrevented"_s, orNull(settings.systemAssertion)},
        {u"error"_s, orNull(settings.error)},
    };
    const QJsonObject source{
        {u"source"_s, sourceName(power.source)},
        {u"hasBattery"_s, power.hasBattery},
        {u"batteryPercent"_s, orNull(power.percentage)},
        {u"charging"_s, power.isCharging},
        {u"charged"_s, power.isCharged},
        {u"minutesToFull"_s, orNull(power.minutesToFull)},
        {u"minutesRemaining"_s, orNull(power.minutesRemaining)},
    };
    return document(
        {{u"version"_s, jsonVersion},
         {u"settings"_s, live},
         {u"power"_s, source},
         {u"application"_s, applicationJson(application)},
         {u"administrator"_s, administratorJson(application.administrator)},
         {u"system"_s, QJsonObject{{u"id"_s, system.id},
                                   {u"name"_s, system.name},
                                   {u"note"_s, system.note.isEmpty() ? QJsonValue()
                                                                     : QJsonValue(system.note)}}}});
}

QString rulesNeedPellor() {
    return L10n::text("Pellor is not running, and rules act only while it runs.");
}

QString rulesText(const RuleListing &listing) {
    QString text;
    int number = 0;
    // The administrator's rules go first, unnumbered: no command changes them.
    for (const RuleListing::Entry &entry : listing.entries)
        text +=
            (entry.managed ? u"-"_s : QString::number(++number) + u'.') + u' ' + sentence(entry) +
            u" — "_s + stateText(entry.state) +
            (entry.managed ? u" · "_s + L10n::text("Provided by your organisation") : QString()) +
            u'\n';
    if (listing.entries.isEmpty())
        text +=
            L10n::text("No rules yet; \"pellorctl rules --help\" tells how to add one.") + u'\n';
    if (listing.paused)
        text +=
            L10n::text("Automatic switching is paused; \"pellorctl rules resume\" resumes it.") +
            u'\n';
    if (!listing.pellorRunning)
        text += rulesNeedPellor() + u'\n';
    return text;
}

QByteArray rulesJson(const RuleListing &listing) {
    QJsonArray rules;
    int number = 0;
    for (const RuleListing::Entry &entry : listing.entries)
        rules.append(QJsonObject{
            {u"number"_s, entry.managed ? QJsonValue() : QJsonValue(++number)},
            {u"managed"_s, entry.managed},
            {u"id"_s, entry.rule.id},
            {u"condition"_s, entry.rule.toJson()[u"when"_s]},
            {u"description"_s, entry.rule.when.description()},
            {u"profile"_s, entry.rule.profileId},
            {u"title"_s, entry.profileTitle ? QJsonValue(*entry.profileTitle) : QJsonValue()},
            {u"enabled"_s, entry.rule.enabled},
            {u"state"_s, stateName(entry.state)}});
    return document({{u"version"_s, jsonVersion},
                     {u"rules"_s, rules},
                     {u"paused"_s, listing.paused},
                     {u"pellorRunning"_s, listing.pellorRunning}});
}

ReportSession reportSession(const Application &application) {
    const control::SessionState &session = application.session;
    if (!session.profileId)
        return {};
    ReportSession report{session.title, std::nullopt};
    if (session.secondsLeft)
        report.timeLeft = session.timeLabel;
    return report;
}

QByteArray diagnosisJson(const SystemSettings &settings,
                         const std::optional<PowerAssertions> &assertions,
                         const Application &application) {
    const SleepDiagnosis diagnosis = SleepDiagnosis::make(settings, assertions);
    const auto holders = [](const QList<SleepDiagnosis::Holder> &list) {
        QJsonArray array;
        for (const SleepDiagnosis::Holder &holder : list)
            array.append(QJsonObject{{u"process"_s, holder.process}, {u"reason"_s, holder.reason}});
        return array;
    };
    QJsonValue read;
    if (assertions) {
        QJsonObject counts;
        for (const auto &[type, count] : assertions->systemWide)
            counts[type] = count;
        QJsonArray held;
        for (const PowerAssertion &assertion : assertions->holders)
            held.append(QJsonObject{{u"pid"_s, assertion.pid},
                                    {u"process"_s, assertion.process},
                                    {u"type"_s, assertion.type},
                                    {u"name"_s, assertion.name}});
        read = QJsonObject{{u"systemWide"_s, counts}, {u"holders"_s, held}};
    }
    return document(
        {{u"version"_s, jsonVersion},
         {u"diagnosis"_s, QJsonObject{{u"display"_s, diagnosis.display},
                                      {u"displayHolders"_s, holders(diagnosis.displayHolders)},
                                      {u"sleep"_s, diagnosis.sleep},
                                      {u"sleepHolders"_s, holders(diagnosis.sleepHolders)},
                                      {u"lowPower"_s, diagnosis.lowPower}}},
         {u"assertions"_s, read},
         {u"error"_s, orNull(settings.error)},
         {u"application"_s, applicationJson(application)}});
}

} // namespace norvane::OutputFormat
