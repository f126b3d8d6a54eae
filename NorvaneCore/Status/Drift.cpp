#include "Drift.h"

namespace norvane {

QList<Drift> Drift::between(const SystemSettings &live, const Profile &applied) {
    QList<Drift> drifts;
    const auto compare = [&drifts](Setting setting, const std::optional<qint64> &held,
                                   qint64 wanted) {
        if (held && *held != wanted)
            drifts << Drift{setting, *held, wanted};
    };
    if (!live.lowBatteryTimers) {
        compare(Setting::display, live.displayMinutes, applied.displayMinutes);
        compare(Setting::sleep, live.sleepMinutes, applied.sleepMinutes);
    }
    compare(Setting::screenSaver, live.screenSaverSeconds, applied.screenSaverSeconds);
    return drifts;
}

} // namespace norvane
