#include "SleepDiagnosis.h"

#include "Installation.h"
#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"

namespace norvane {

namespace {

using Holder = SleepDiagnosis::Holder;

// The processes named in one of pmset's remarks ("bluetoothd, sharingd, coreaudiod").
QList<Holder> namedIn(const std::optional<QString> &remark) {
    QList<Holder> holders;
    if (remark)
        for (const QString &name : remark->split(QStringLiteral(", "), Qt::SkipEmptyParts))
            holders.append({name.trimmed(), {}});
    return holders;
}

QList<Holder> holdersOf(const PowerAssertions &assertions, bool (PowerAssertion::*keeps)() const) {
    QList<Holder> holders;
    for (const PowerAssertion &assertion : assertions.holders)
        if ((assertion.*keeps)())
            holders.append({assertion.process, assertion.name});
    return holders;
}

QString displaySentence(const SystemSettings &settings, bool held) {
    const auto minutes = settings.displayMinutes;
    if (!minutes || *minutes < 0)
        return L10n::text("Pellor could not read when the display turns off.");
    if (*minutes == 0)
        return L10n::text(
            "The display never turns off on its own: Turn Display Off is set to Never.");
    const QString n = QString::number(*minutes);
    if (held)
        return L10n::text(
            {"The display would turn off after {0} min of inactivity, but something keeps it on.",
             {n}});
    return L10n::text({"The display turns off after {0} min of inactivity.", {n}});
}

QString sleepSentence(const SystemSettings &settings, bool held) {
    if (settings.sleepDisabled.value_or(false))
        return L10n::text(
            "The Mac never sleeps on idle: sleep is disabled system-wide (SleepDisabled).");
    const auto minutes = settings.sleepMinutes;
    if (!minutes || *minutes < 0)
        return systemText("Pellor could not read when the Mac sleeps.",
                          "Pellor could not read when this computer sleeps.");
    if (*minutes == 0)
        return systemText("The Mac never sleeps on idle: System Sleep is set to Never.",
                          "This computer never sleeps on idle: System Sleep is set to Never.");
    const QString n = QString::number(*minutes);
    if (held)
        return systemText(
            "The Mac would sleep after {0} min of inactivity, but something keeps it awake.",
            "This computer would sleep after {0} min of inactivity, but something keeps it awake.",
            {n});
    return systemText("The Mac sleeps after {0} min of inactivity.",
                      "This computer sleeps after {0} min of inactivity.", {n});
}

QString lowPowerSentence(const std::optional<bool> &lowPower) {
    if (!lowPower)
        return systemText("This Mac does not report Low Power Mode.",
                          "This computer does not report a power saver mode.");
    return *lowPower ? systemText("Low Power Mode is on.", "The power saver profile is on.")
                     : systemText("Low Power Mode is off.", "The power saver profile is off.");
}

QString labelled(const QString &label, const QString &value) {
    return L10n::text({"{0}: {1}", {label, value}});
}

QString yesNo(const std::optional<bool> &value) {
    if (!value)
        return L10n::text("Unavailable");
    return *value ? L10n::text("Yes") : L10n::text("No");
}

QString screenSaver(const std::optional<qint64> &seconds) {
    // Whole minutes, rounded up so that a few seconds do not read as "never".
    const auto minutes = seconds && *seconds > 0 ? std::optional((*seconds + 59) / 60) : seconds;
    return SystemSettings::duration(minutes);
}

QString holderLine(const PowerAssertion &assertion) {
    // One arg() call: chained ones would read placeholders inside a process name ("100%1"). A
    // desktop's session inhibitors name no process id.
    QString line = assertion.pid > 0
                       ? QStringLiteral("  %1 (pid %2): %3")
                             .arg(assertion.process, QString::number(assertion.pid), assertion.type)
                       : QStringLiteral("  %1: %2").arg(assertion.process, assertion.type);
    if (!assertion.name.isEmpty())
        line += QStringLiteral(" \u201C%1\u201D").arg(assertion.name);
    if (!assertion.age.isEmpty())
        line += u' ' + assertion.age;
    return line;
}

} // namespace

QString SleepDiagnosis::Holder::text() const {
    return reason.isEmpty() ? process : L10n::text({"{0}: {1}", {process, reason}});
}

SleepDiagnosis SleepDiagnosis::make(const SystemSettings &settings,
                                    const std::optional<PowerAssertions> &assertions) {
    SleepDiagnosis diagnosis;
    if (assertions) {
        diagnosis.displayHolders = holdersOf(*assertions, &PowerAssertion::keepsDisplayOn);
        diagnosis.sleepHolders = holdersOf(*assertions, &PowerAssertion::keepsMacAwake);
    } else {
        diagnosis.displayHolders = namedIn(settings.displaySleepPreventers);
        diagnosis.sleepHolders = namedIn(settings.sleepPreventers);
        for (const Holder &holder : diagnosis.displayHolders)
            if (!diagnosis.sleepHolders.contains(holder))
                diagnosis.sleepHolders << holder;
    }
    // Without the holders' list, the assertion counts still tell that someone holds one.
    const bool displayHeld = !diagnosis.displayHolders.isEmpty() ||
                             (!assertions && settings.displayAssertion.value_or(false));
    const bool sleepHeld = !diagnosis.sleepHolders.isEmpty() ||
                           (!assertions && settings.systemAssertion.value_or(false));
    diagnosis.display = displaySentence(settings, displayHeld);
    diagnosis.sleep = sleepSentence(settings, sleepHeld || displayHeld);
    diagnosis.lowPower = lowPowerSentence(settings.lowPower);
    return diagnosis;
}

QStringList SleepDiagnosis::lines() const {
    QStringList result{display};
    const auto list = [&](const QString &heading, const QList<Holder> &holders) {
        if (holders.isEmpty())
            return;
        result << heading;
        for (const Holder &holder : holders)
            result << QStringLiteral("  ") + holder.text();
    };
    list(L10n::text("Kept on by:"), displayHolders);
    result << sleep;
    list(L10n::text("Kept awake by:"), sleepHolders);
    result << lowPower;
    return result;
}

QString pellorVersion() {
    return QString::fromLatin1(Installation::version);
}

QString sleepReport(const SystemSettings &settings,
                    const std::optional<PowerAssertions> &assertions,
                    const ReportSession &session) {
    QStringList lines{
        systemText("Pellor {0}: Why isn't my Mac sleeping?",
                   "Pellor {0}: Why isn't this computer sleeping?", {pellorVersion()}),
        labelled(L10n::text("Read at"), settings.readAt.toString(Qt::ISODate)),
    };
    if (session.profileName.isEmpty())
        lines << labelled(L10n::text("Active profile"), L10n::text("Using system settings"));
    else if (session.timeLeft)
        lines << labelled(L10n::text("Active profile"),
                          L10n::text({"{0}, {1} left", {session.profileName, *session.timeLeft}}));
    else
        lines << labelled(L10n::text("Active profile"), session.profileName);
    if (settings.error)
        lines << *settings.error;

    const SystemIdentity system = currentSystem();
    lines << QString() << system.powerSource;
    lines << QStringLiteral("  ") + labelled(L10n::text("Power source"), settings.source);
    lines << system.timersSource;
    for (const auto &[label, value] : QList<std::pair<QString, QString>>{
             {L10n::text("Turn Display Off"), SystemSettings::duration(settings.displayMinutes)},
             {L10n::text("System Sleep"), SystemSettings::duration(settings.sleepMinutes)},
             // Only a Mac can turn idle sleep off for the whole system.
             {L10n::text("Sleep disabled system-wide"),
              system.isMac ? yesNo(settings.sleepDisabled) : QString()},
             {L10n::text("Low Power Mode"), yesNo(settings.lowPower)},
             {L10n::text("Sleep prevented by"), settings.sleepPreventers.value_or(QString())},
             {L10n::text("Display sleep prevented by"),
              settings.displaySleepPreventers.value_or(QString())},
         })
        if (!value.isEmpty())
            lines << QStringLiteral("  ") + labelled(label, value);
    lines << system.screenSaverSource;
    lines << QStringLiteral("  ") +
                 labelled(L10n::text("Screen Saver"), system.ownScreenSaverTimer
                                                          ? screenSaver(settings.screenSaverSeconds)
                                                          : L10n::text("Follows Turn Display Off"));

    lines << system.holdersSource;
    if (!assertions) {
        lines << QStringLiteral("  ") + L10n::text("Not read");
    } else {
        QStringList counts;
        for (const auto &[type, count] : assertions->systemWide)
            counts << type + u' ' + QString::number(count);
        if (!counts.isEmpty())
            lines << QStringLiteral("  ") + counts.join(QStringLiteral(", "));
        if (assertions->holders.isEmpty())
            lines << QStringLiteral("  ") + L10n::text("No process holds an assertion.");
        for (const PowerAssertion &assertion : assertions->holders) {
            lines << holderLine(assertion);
            for (const QString &detail : assertion.details)
                lines << QStringLiteral("    ") + detail;
        }
    }

    lines << QString() << L10n::text("Outcome");
    for (const QString &line : SleepDiagnosis::make(settings, assertions).lines())
        lines << QStringLiteral("  ") + line;
    return lines.join(u'\n') + u'\n';
}

} // namespace norvane
