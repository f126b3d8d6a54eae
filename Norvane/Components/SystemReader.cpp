#include "SystemReader.h"

#include "Background.h"
#include "Worlds/World.h"

namespace norvane {

QFuture<SystemSettings> readSystemInBackground() {
    return inBackground([] { return currentWorld()->readSettings(); });
}

} // namespace norvane
