#pragma once

#include "Profiles/Profile.h"

#include <QByteArrayView>

namespace norvane {

// The three numbers that give each profile its own, stable hero backdrop: how lively it is
// (energy, 0 to 1), where its pattern starts (seed, 0 to 1) and which palette family it uses
// (0 to 4). The screen-saver time plays no part.
struct HomeAtmosphere {
    explicit HomeAtmosphere(const Profile &profile);

    float energy;
    float seed;
    float family;

    // 32-bit FNV-1a.
    [[nodiscard]] static quint32 hash(QByteArrayView bytes);
};

} // namespace norvane
