#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace norvane {

// Which renderer draws the Qt Quick views, chosen once at start-up, before the first view, and
// without loading a graphics driver to find out. A machine without a GPU gets Qt Quick's
// software renderer, which paints the views with the CPU into the windows' images: OpenGL there
// is Mesa's llvmpipe, whose driver and shader compiles cost more memory and start-up time than
// the whole rest of Pellor, and which draws every frame on the CPU anyway. A GPU, or a system
// whose GPUs are not found through DRM (macOS), keeps Qt's own choice, and so does a renderer the
// user names through Qt's variables.
class SceneRenderer {
public:
    enum class Choice {
        qtDefault, // Qt's graphics API of the platform: OpenGL, Metal, Direct3D
        software,  // Qt Quick's software renderer
        user,      // named by QT_QUICK_BACKEND or QSG_RHI_BACKEND
    };

    // What the choice depends on.
    struct Machine {
        // Whether a GPU's device exists: a DRM render node (/dev/dri/renderD*), or NVIDIA's own
        // device where its DRM module is not loaded; none where GPUs are not found that way.
        std::optional<bool> gpu;
        QByteArray quickBackend;   // QT_QUICK_BACKEND
        QByteArray rhiBackend;     // QSG_RHI_BACKEND
        QByteArray alwaysSoftware; // LIBGL_ALWAYS_SOFTWARE: Mesa told to render in software
    };

    [[nodiscard]] static Machine thisMachine();
    [[nodiscard]] static Choice choose(const Machine &machine);
    // Sets the choice for this machine on Qt Quick; before the first view exists.
    static void configure();
    // "Renderer: …": the renderer chosen and why, for `pellor --version` and bug reports.
    [[nodiscard]] static QString describe(const Machine &machine);
};

} // namespace norvane
