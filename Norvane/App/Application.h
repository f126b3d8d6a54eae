#pragma once

class QApplication;

namespace norvane {

// Names the application (for its settings), keeps it running when its last window closes and
// gives it its icon.
void configureApplication(QApplication &application);

} // namespace norvane
