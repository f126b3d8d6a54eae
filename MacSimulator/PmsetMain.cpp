// The simulated Mac's pmset: prints the power settings in the Mac's formats and changes them
// when run with administrator rights through the stand-in osascript.
#include "Configuration/ConfigurationError.h"
#include "SimulatorState.h"

#include <QRegularExpression>
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

QString batteryLine(const BatteryStatus &status) {
    const auto estimate = [&] {
        return status.minutesRemaining ? remaining(*status.minutesRemaining)
                                       : QStringLiteral("(no estimate)");
    };
    QString detail;
    switch (status.state) {
    case BatteryState::charging:
        detail = QStringLiteral("charging; ") + estimate();
        break;
    case BatteryState::discharging:
        detail = QStringLiteral("discharging; ") + estimate();
        break;
    case BatteryState::charged:
        detail = QStringLiteral("charged; ") + remaining(0);
        break;
    case BatteryState::notCharging:
        detail = QStringLiteral("AC attached; not charging");
        break;
    }
    return QStringLiteral(" -InternalBattery-0 (id=4653155)\t%1%; %2 present: true\n")
        .arg(status.percent)
        .arg(detail);
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

    int query(QString what) const {
        if (what == QLatin1String("ps"))
            what = QStringLiteral("batt");
        const QStringList known{QStringLiteral("custom"), QStringLiteral("live"),
                                QStringLiteral("batt")};
        if (!known.contains(what))
            return usage();
        if (m_state.failingQueries.contains(what))
            return failure(QStringLiteral(
                "pmset: could not read the power management settings (simulated failure)"));
        print(stdout, what == known[0] ? custom() : what == known[1] ? live() : batt());
        return 0;
    }

    QString custom() const {
        QString text;
        for (const Source source : m_state.presentSources()) {
            text += powerName(source) + QStringLiteral(":\n");
            for (const auto &[name, value] : m_state.settings(source)->entries)
                text += settingLine(name, value);
        }
        return text;
    }

    // The settings in use: the providing source's, with Low Power Mode as it is now.
    QString live() const {
        QString text = QStringLiteral("Currently in use:\n");
        PowerSettings inUse;
        if (const auto &providing = m_state.settings(m_state.providing))
            inUse = *providing;
        else if (const QList<Source> present = m_state.presentSources(); !present.isEmpty())
            inUse = *m_state.settings(present.first());
        const QString lowPowerMode =
            m_state.lowPowerMode ? QStringLiteral("1") : QStringLiteral("0");
        bool listedLowPowerMode = false;
        for (const auto &[name, value] : inUse.entries) {
            if (name == QLatin1String("lowpowermode")) {
                text += settingLine(name, lowPowerMode);
                listedLowPowerMode = true;
            } else if (name == QLatin1String("sleep") && !m_state.sleepPreventers.isEmpty()) {
                text += settingLine(name, value,
                                    QStringLiteral("(sleep prevented by %1)")
                                        .arg(m_state.sleepPreventers.join(QStringLiteral(", "))));
            } else {
                text += settingLine(name, value);
            }
        }
        if (!listedLowPowerMode)
            text += settingLine(QStringLiteral("lowpowermode"), lowPowerMode);
        return text;
    }

    QString batt() const {
        QString text = QStringLiteral("Now drawing from '%1'\n").arg(powerName(m_state.providing));
        if (m_state.battery)
            text += batteryLine(m_state.batteryStatus);
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
        return 0;
    }

    // An empty text when every target knows the setting's name and the value suits it.
    QString checkSetting(const QList<Source> &targets, const QString &name,
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
