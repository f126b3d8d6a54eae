#pragma once

#include <memory>

class QThread;

namespace norvane {

// Loads the font database on another thread, while the main thread builds the menu and the
// workspace scene: the first text of the first frame would otherwise wait for it there. Waits
// for that thread when destroyed.
class FontPreloader {
public:
    FontPreloader();
    ~FontPreloader();

    FontPreloader(const FontPreloader &) = delete;
    FontPreloader &operator=(const FontPreloader &) = delete;

private:
    std::unique_ptr<QThread> m_thread;
};

} // namespace norvane
