#include "HomeAtmosphere.h"

#include <algorithm>
#include <cmath>

namespace norvane {

namespace {

// 120 minutes or more saturate a term.
const double saturation = std::log(121.0);

double scaled(qint64 minutes) {
    return std::min(1.0, std::log1p(double(std::max<qint64>(minutes, 0))) / saturation);
}

double energyOf(const Profile &profile) {
    const double display =
        profile.displayMinutes == 0 ? 0.55 : 0.55 * scaled(profile.displayMinutes);
    const double sleep = profile.sleepMinutes == 0 ? 0.45 : 0.45 * scaled(profile.sleepMinutes);
    const double returnFactor =
        profile.defaultMinutes == 0 ? 1.0 : 0.7 + 0.3 * scaled(profile.defaultMinutes);
    return std::pow((display + sleep) * returnFactor, 1.6);
}

} // namespace

HomeAtmosphere::HomeAtmosphere(const Profile &profile) {
    const quint32 h = hash(profile.id.toUtf8());
    energy = float(energyOf(profile));
    seed = float(double(h % 10007) / 10007.0);
    family =
        profile.icon.value() == ProfileIcon::sliders ? float(h % 5) : float(profile.icon.value());
}

quint32 HomeAtmosphere::hash(QByteArrayView bytes) {
    quint32 h = 2166136261u;
    for (const char byte : bytes) {
        h ^= quint8(byte);
        h *= 16777619u;
    }
    return h;
}

} // namespace norvane
