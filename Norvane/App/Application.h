#pragma once

#include <QStringList>
#include <optional>

class QApplication;

namespace norvane {

// Names the application (for its settings), keeps it running when its last window closes, gives
// it its icon and chooses the renderer of its views.
void configureApplication(QApplication &application);

// Answers --version (or -v: the version and the renderer) and --help (or -h) before any window
// appears, so they work without a display: the exit status to end with, or none to start the
// application.
[[nodiscard]] std::optional<int> answerCommandLine(const QStringList &arguments);

// Whether Pellor was started by Open at Login (--login): it then starts in its status item.
[[nodiscard]] bool openedAtLogin(const QStringList &arguments);

} // namespace norvane
