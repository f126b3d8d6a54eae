#include "World.h"

#include "MacWorld.h"

#include <QReadWriteLock>

namespace norvane {

namespace {

struct Current {
    QReadWriteLock lock;
    std::shared_ptr<const World> world;
};

Current &current() {
    static Current instance;
    return instance;
}

} // namespace

std::shared_ptr<const World> currentWorld() {
    Current &state = current();
    {
        const QReadLocker locker(&state.lock);
        if (state.world)
            return state.world;
    }
    const QWriteLocker locker(&state.lock);
    if (!state.world)
        state.world = std::make_shared<MacWorld>(Platform::system(), currentSystem());
    return state.world;
}

void setCurrentWorld(std::shared_ptr<const World> world) {
    setCurrentSystem(world->identity());
    Current &state = current();
    const QWriteLocker locker(&state.lock);
    state.world = std::move(world);
}

} // namespace norvane
