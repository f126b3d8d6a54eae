#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace norvane {

// Finds the compiled "homeAurora" shader in the application's resource bundle
// (Norvane_Norvane.bundle/Shaders/homeAurora.frag.qsb). Without it the hero draws a gradient.
class HomeShaders {
public:
    // The shader file, looked up once per run; none when the bundle or the file is missing.
    [[nodiscard]] static const std::optional<QString> &library();

    // The bundle folders tried in order: inside a macOS application bundle's resources, beside
    // the executable, the installed data folder relative to the executable (<prefix>/share/pellor
    // for <prefix>/bin), then the build tree's copy.
    [[nodiscard]] static QStringList bundleCandidates();
    // The shader file in the first candidate bundle that exists, if it holds a readable one.
    [[nodiscard]] static std::optional<QString> locate(const QStringList &bundleCandidates);
    // Notes in the "norvane.resources" log (off by default) that the GPU accepted the shader.
    static void reportCompiled(const QUrl &shader);

    static constexpr char bundleName[] = "Norvane_Norvane.bundle";
    static constexpr char shaderFile[] = "Shaders/homeAurora.frag.qsb";
};

} // namespace norvane
