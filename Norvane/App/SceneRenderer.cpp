#include "SceneRenderer.h"

#include "Localization/L10n.h"

#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>

namespace norvane {

namespace {

// Mesa's words for true (LIBGL_ALWAYS_SOFTWARE=1, =true, …).
bool mesaTrue(const QByteArray &value) {
    const QByteArray word = value.trimmed().toLower();
    return word == "1" || word == "y" || word == "yes" || word == "t" || word == "true";
}

} // namespace

SceneRenderer::Machine SceneRenderer::thisMachine() {
    Machine machine;
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    machine.gpu = !QDir(QStringLiteral("/dev/dri"))
                       .entryList({QStringLiteral("renderD*")}, QDir::System)
                       .isEmpty() ||
                  QFileInfo::exists(QStringLiteral("/dev/nvidiactl"));
#endif
    machine.quickBackend = qgetenv("QT_QUICK_BACKEND");
    machine.rhiBackend = qgetenv("QSG_RHI_BACKEND");
    machine.alwaysSoftware = qgetenv("LIBGL_ALWAYS_SOFTWARE");
    return machine;
}

SceneRenderer::Choice SceneRenderer::choose(const Machine &machine) {
    if (!machine.quickBackend.isEmpty() || !machine.rhiBackend.isEmpty())
        return Choice::user;
    if (!machine.gpu)
        return Choice::qtDefault;
    if (!*machine.gpu || mesaTrue(machine.alwaysSoftware))
        return Choice::software;
    return Choice::qtDefault;
}

void SceneRenderer::configure() {
    if (choose(thisMachine()) == Choice::software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

QString SceneRenderer::describe(const Machine &machine) {
    QString renderer;
    switch (choose(machine)) {
    case Choice::user: {
        QStringList named;
        if (!machine.quickBackend.isEmpty())
            named << QStringLiteral("QT_QUICK_BACKEND=") +
                         QString::fromLocal8Bit(machine.quickBackend);
        if (!machine.rhiBackend.isEmpty())
            named << QStringLiteral("QSG_RHI_BACKEND=") +
                         QString::fromLocal8Bit(machine.rhiBackend);
        renderer = named.join(QStringLiteral(", "));
        break;
    }
    case Choice::software:
        renderer = mesaTrue(machine.alwaysSoftware)
                       ? L10n::text({"software ({0})",
                                     {QStringLiteral("LIBGL_ALWAYS_SOFTWARE=") +
                                      QString::fromLocal8Bit(machine.alwaysSoftware)}})
                       : L10n::text("software (no GPU found)");
        break;
    case Choice::qtDefault:
#if defined(Q_OS_MACOS)
        renderer = QStringLiteral("Metal");
#elif defined(Q_OS_WIN)
        renderer = QStringLiteral("Direct3D 11");
#else
        renderer = QStringLiteral("OpenGL");
#endif
        break;
    }
    return L10n::text({"Renderer: {0}", {renderer}});
}

} // namespace norvane
