// The simulated Mac's pmset: prints the power settings in the Mac's formats and changes them
// when run with administrator rights through the stand-in osascript.
#include "Platform/ConfigurationError.h"
#include "Platform/VariantNumbers.h"
#include "SimulatorState.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>

using namespace norvane;
using namespace norvane::sim;

namespace {

void print(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// " name                 value": the name padded to 20 characters, as pmset prints settings.
QString settingLine(const QString &name, const QString &value, const QString &remark = {}) {
    QString line = u' ' + name.leftJustified(20) + u' ' + value;
    if (!remark.isEmpty())
        line += u' ' + remark;
    return line + u'\n';
}

QString remaining(int minutes) {
    return QStringLiteral("%1:%2 remaining")
        .arg(minutes / 60)
        .arg(minutes % 60, 2, 10, QChar(u'0'));
}

// A source's line of pmset -g batt, told from its power-source description as pmset does.
QString sourceLine(const PowerSourceDescription &description) {
    const auto number = [&](const char *key) {
        return integerValue(description.value(QLatin1String(key))).value_or(-1);
    };
    const auto flag = [&](const char *key) {
        return truthValue(description.value(QLatin1String(key))).value_or(false);
    };
    const auto estimate = [&](const char *key) {
        const qint64 minutes = number(key);
        return minutes < 0 ? QStringLiteral("(no estimate)") : remaining(int(minutes));
    };
    QString detail;
    if (flag("Is Charged"))
        detail = QStringLiteral("charged; ") + remaining(0);
    else if (flag("Is Charging"))
        detail = QStringLiteral("charging; ") + estimate("Time to Full Charge");
    else if (description.value(QStringLiteral("Power Source State")).toString() == u"AC Power")
        detail = QStringLiteral("AC attached; not charging");
    else
        detail = QStringLiteral("discharging; ") + estimate("Time to Empty");
    // One arg() call, so that a placeholder inside a name from the state file stays as it is.
    return QStringLiteral(" -%1 (id=%2)\t%3%; %4 present: true\n")
        .arg(description.value(QStringLiteral("Name")).toString(),
             QString::number(number("Power Source ID")),
             QString::number(number("Current Capacity")), detail);
}

// Digits only, and few enough to read back as a number.
bool isWholeNumber(const QString &text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    bool fits = false;
    (void)text.toLongLong(&fits);
    return fits && digits.match(text).hasMatch();
}

class Pmset {
public:
    Pmset(QString home, SimulatorState state)
        : m_home(std::move(home)), m_state(std::move(state)) {}

    int run(QStringList arguments) {
        if (arguments.isEmpty())
            return usage();
        if (arguments.first() == QLatin1String("-g"))
            return query(arguments.value(1, QStringLiteral("live")));
        return write(arguments);
    }

private:
    static int usage() {
        print(stderr,
              QStringLiteral("Usage: pmset <options>\nSee pmset(1) for details: 'man pmset'\n"));
        return 1;
    }

    static int failure(const QString &message) {
        print(stderr, message + u'\n');
        return 1;
    }

    [[nodiscard]] int query(QString what) const {
        if (what == QLatin1String("ps"))
            what = QStringLiteral("batt");
        const QStringList known{QStringLiteral("custom"), QStringLiteral("live"),
                                QStringLiteral("batt"), QStringLiteral("assertions")};
        if (!known.contains(what))
            return usage();
        if (m_state.failingQueries.contains(what))
            return failure(QStringLiteral(
                "pmset: could not read the power management settings (simulated failure)"));
        const QString output = what == known[0]   ? custom()
                               : what == known[1] ? live()
                               : what == known[2] ? batt()
                                                  : assertions();
        print(stdout, output);
        return 0;
    }

    // The Low Power Mode line as this model prints it: none on a desktop.
    [[nodiscard]] std::optional<QString> lowPowerLine(const QString &value) const {
        const auto key = m_state.lowPowerKey();
        return key ? std::optional(settingLine(*key, value)) : std::nullopt;
    }

    [[nodiscard]] QString custom() const {
        QString text;
        for (const Source source : m_state.presentSources()) {
            text += powerName(source) + QStringLiteral(":\n");
            for (const auto &[name, value] : m_state.settings(source)->entries) {
                if (name == QLatin1String("lowpowermode"))
                    text += lowPowerLine(value).value_or(QString());
                else
                    text += settingLine(name, value);
            }
        }
        return text;
    }

    // The settings in use: the providing source's, in the order a Mac prints them (which is not
    // the order of -g custom), with Low Power Mode as it is now and who prevents sleep.
    [[nodiscard]] QString live() const {
        QString text = QStringLiteral("System-wide power settings:\n");
        if (m_state.sleepDisabled)
            text += QStringLiteral(" SleepDisabled\t\t1\n");
        text += QStringLiteral("Currently in use:\n");
        PowerSettings inUse;
        if (const auto &providing = m_state.settings(m_state.providing))
            inUse = *providing;
        else if (const QList<Source> present = m_state.presentSources(); !present.isEmpty())
            inUse = *m_state.settings(present.first());
        if (!inUse.value(QStringLiteral("halfdim")))
            inUse.set(QStringLiteral("halfdim"), 1); // only -g live shows it
        if (!inUse.value(QStringLiteral("lowpowermode")))
            inUse.set(QStringLiteral("lowpowermode"), 0);

        // As an iMac prints them; settings it does not have follow in their own order.
        static const QStringList order{QStringLiteral("standby"),
                                       QStringLiteral("Sleep On Power Button"),
                                       QStringLiteral("womp"),
                                       QStringLiteral("halfdim"),
                                       QStringLiteral("hibernatefile"),
                                       QStringLiteral("proximitywake"),
                                       QStringLiteral("powernap"),
                                       QStringLiteral("gpuswitch"),
                                       QStringLiteral("networkoversleep"),
                                       QStringLiteral("autorestart"),
                                       QStringLiteral("standbydelayhigh"),
                                       QStringLiteral("sleep"),
                                       QStringLiteral("hibernatemode"),
                                       QStringLiteral("disksleep"),
                                       QStringLiteral("ttyskeepawake"),
                                       QStringLiteral("displaysleep"),
                                       QStringLiteral("tcpkeepalive"),
                                       QStringLiteral("highstandbythreshold"),
                                       QStringLiteral("standbydelaylow")};
        const auto rank = [&](const QString &name) {
            const qsizetype index = order.indexOf(name);
            return index < 0 ? order.size() : index;
        };
        std::stable_sort(
            inUse.entries.begin(), inUse.entries.end(),
            [&](const auto &a, const auto &b) { return rank(a.first) < rank(b.first); });

        const auto remark = [](const char *opening, const QStringList &names) {
            return names.isEmpty() ? QString()
                                   : QStringLiteral("(%1 %2)").arg(
                                         QLatin1String(opening), names.join(QStringLiteral(", ")));
        };
        for (const auto &[name, value] : inUse.entries) {
            if (name == QLatin1String("lowpowermode")) {
                // powermode keeps High Power (2) while Low Power Mode is off.
                const bool highPower = m_state.lowPowerKey() == QLatin1String("powermode") &&
                                       value == QLatin1String("2");
                text += lowPowerLine(m_state.lowPowerMode ? QStringLiteral("1")
                                     : highPower          ? QStringLiteral("2")
                                                          : QStringLiteral("0"))
                            .value_or(QString());
            } else if (name == QLatin1String("sleep")) {
                text += settingLine(name, value,
                                    remark("sleep prevented by", m_state.systemSleepPreventers()));
            } else if (name == QLatin1String("displaysleep")) {
                text += settingLine(
                    name, value,
                    remark("display sleep prevented by", m_state.displaySleepPreventers()));
            } else {
                text += settingLine(name, value);
            }
        }
        return text;
    }

    // Who holds which power assertion, in the Mac's layout.
    [[nodiscard]] QString assertions() const {
        // "2025-11-02 13:20:57 -0600"
        const QDateTime now = QDateTime::currentDateTime();
        const int offset = now.offsetFromUtc() / 60;
        QString text = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
                       (offset < 0 ? u'-' : u'+') +
                       QStringLiteral("%1%2")
                           .arg(std::abs(offset) / 60, 2, 10, QChar(u'0'))
                           .arg(std::abs(offset) % 60, 2, 10, QChar(u'0'));
        text += QStringLiteral("\nAssertion status system-wide:\n");
        // The types a Mac lists, in its order; any others follow.
        QStringList types{QStringLiteral("BackgroundTask"),
                          QStringLiteral("ApplePushServiceTask"),
                          QStringLiteral("UserIsActive"),
                          QStringLiteral("PreventUserIdleDisplaySleep"),
                          QStringLiteral("PreventSystemSleep"),
                          QStringLiteral("ExternalMedia"),
                          QStringLiteral("InternalPreventDisplaySleep"),
                          QStringLiteral("PreventUserIdleSystemSleep"),
                          QStringLiteral("NetworkClientActive")};
        for (auto it = m_state.assertions.cbegin(); it != m_state.assertions.cend(); ++it)
            if (!types.contains(it.key()))
                types << it.key();
        for (const AssertionHolder &holder : m_state.assertionHolders)
            if (!types.contains(holder.type))
                types << holder.type;
        for (const QString &type : types) {
            qint64 level = m_state.assertions.value(type);
            for (const AssertionHolder &holder : m_state.assertionHolders)
                if (holder.type == type)
                    level = std::max<qint64>(level, 1);
            text += QStringLiteral("   ") + type.leftJustified(30) + u' ' + QString::number(level) +
                    u'\n';
        }
        text += QStringLiteral("Listed by owning process:\n");
        for (qsizetype i = 0; i < m_state.assertionHolders.size(); ++i) {
            const AssertionHolder &holder = m_state.assertionHolders[i];
            const int age = holder.ageSeconds;
            const auto twoDigits = [](int n) {
                return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
            };
            const QString id = QStringLiteral("%1").arg(
                (quint64(holder.pid) << 32) | quint64(i + 1), 16, 16, QChar(u'0'));
            // One arg() call: the names come from the state file and may hold "%1".
            text +=
                QStringLiteral("   pid %1(%2): [0x%3] %4:%5:%6 %7 named: \"%8\"\n")
                    .arg(QString::number(holder.pid), holder.process, id, twoDigits(age / 3600),
                         twoDigits(age / 60 % 60), twoDigits(age % 60), holder.type, holder.name);
            // Details are indented with a tab, as the Mac prints them.
            for (const QString &detail : holder.details)
                text += u'\t' + detail + u'\n';
        }
        return text;
    }

    [[nodiscard]] QString batt() const {
        const PowerSourceSnapshot sources = m_state.power().snapshot();
        QString text = QStringLiteral("Now drawing from '%1'\n").arg(*sources.providingType);
        for (const PowerSourceDescription &description : sources.descriptions)
            text += sourceLine(description);
        return text;
    }

    int write(QStringList arguments) {
        QList<Source> targets = m_state.presentSources();
        if (arguments.first() != QLatin1String("-a")) {
            if (const auto source = sourceForFlag(arguments.first())) {
                if (!m_state.settings(*source))
                    return failure(
                        QStringLiteral("pmset: this Mac has no %1 source").arg(powerName(*source)));
                targets = {*source};
            }
        }
        if (arguments.first().startsWith(u'-'))
            arguments.removeFirst();
        if (arguments.isEmpty() || arguments.size() % 2 != 0)
            return usage();
        for (qsizetype i = 0; i < arguments.size(); i += 2)
            if (const QString problem = checkSetting(targets, arguments[i], arguments[i + 1]);
                !problem.isEmpty())
                return failure(problem);
        if (!runsAuthorized())
            return failure(QStringLiteral("Error: pmset must be run as root."));
        if (const auto message = takePrivilegedFailure(targets))
            return failure(*message);

        for (const Source source : targets)
            for (qsizetype i = 0; i < arguments.size(); i += 2)
                apply(*m_state.settings(source), arguments[i], arguments[i + 1]);
        m_state.save(m_home);
        warnOfInconsistentTimers();
        return 0;
    }

    // As the Mac's pmset does after a write: a warning on standard error for each source whose
    // idle timers will not behave as set (the write itself has succeeded).
    void warnOfInconsistentTimers() const {
        for (const Source source : m_state.presentSources()) {
            const PowerSettings &settings = *m_state.settings(source);
            const qint64 sleep = settings.number(QStringLiteral("sleep")).value_or(0);
            const auto display = settings.number(QStringLiteral("displaysleep"));
            const auto disk = settings.number(QStringLiteral("disksleep"));
            if (sleep == 0)
                continue;
            const bool displayLater = display && (*display > sleep || *display == 0);
            const bool diskNever = disk && *disk == 0;
            if (!displayLater && !diskNever)
                continue;
            QString warning = QStringLiteral("Warning: Idle sleep timings for \"%1\" may not "
                                             "behave as expected.\n")
                                  .arg(powerName(source));
            if (displayLater)
                warning += QStringLiteral(
                    "- Display sleep should have a lower timeout than system sleep.\n");
            if (diskNever)
                warning += QStringLiteral(
                    "- Disk sleep should be non-zero whenever system sleep is non-zero.\n");
            print(stderr, warning);
        }
    }

    // An empty text when every target knows the setting's name and the value suits it.
    [[nodiscard]] QString checkSetting(const QList<Source> &targets, const QString &name,
                                       const QString &value) const {
        bool known = false;
        for (const Source source : targets) {
            const auto current = m_state.settings(source)->value(name);
            if (!current)
                continue;
            known = true;
            // The value must print as it is and, for a number, read back as one.
            if (!printsFaithfully(value) || (isWholeNumber(*current) && !isWholeNumber(value)))
                return QStringLiteral("pmset: bad value “%1” for %2").arg(value, name);
        }
        return known ? QString() : QStringLiteral("pmset: unrecognized setting “%1”").arg(name);
    }

    // The message of the simulated failure when it applies to this write, counting it down.
    std::optional<QString> takePrivilegedFailure(const QList<Source> &targets) {
        auto &failure = m_state.privilegedFailure;
        if (!failure || failure->times == 0 ||
            (failure->source && !targets.contains(*failure->source)))
            return std::nullopt;
        const QString message = failure->message;
        if (failure->times > 0 && --failure->times == 0)
            failure.reset();
        m_state.save(m_home);
        return message;
    }

    // A setting that a management policy holds keeps its value, without a word.
    void apply(PowerSettings &settings, const QString &name, const QString &value) const {
        if (settings.value(name) && !m_state.policyLockedSettings.contains(name))
            settings.set(name, value);
    }

    QString m_home;
    SimulatorState m_state;
};

} // namespace

int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString home = simulatorHome();
    try {
        recordInvocation(home, {QStringLiteral("pmset"), arguments, runsAuthorized()});
        return Pmset(home, SimulatorState::load(home)).run(arguments);
    } catch (const std::exception &error) {
        print(stderr, QStringLiteral("pmset: %1\n").arg(localizedDescription(error)));
        return 1;
    }
}
