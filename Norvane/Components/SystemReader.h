#pragma once

#include "Status/SystemSettings.h"

#include <QFuture>
#include <functional>

namespace norvane {

// Starts one read of the live system settings and delivers the snapshot later.
using SystemReader = std::function<QFuture<SystemSettings>()>;

// Reads the current world's live settings on the global thread pool, off the calling thread.
[[nodiscard]] QFuture<SystemSettings> readSystemInBackground();

} // namespace norvane
