#include "HomeShaders.h"

#include "Installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#ifndef NORVANE_APP_BUNDLE_BUILD_PATH
#error "NORVANE_APP_BUNDLE_BUILD_PATH must name the build tree's copy of the application bundle"
#endif

namespace norvane {

Q_LOGGING_CATEGORY(lcResources, "norvane.resources", QtWarningMsg)

const std::optional<QString> &HomeShaders::library() {
    static const std::optional<QString> found = [] {
        std::optional<QString> shader = locate(bundleCandidates());
        qCInfo(lcResources).noquote() << "hero shader:" << shader.value_or(QStringLiteral("none"));
        return shader;
    }();
    return found;
}

void HomeShaders::reportCompiled(const QUrl &shader) {
    qCInfo(lcResources).noquote() << "hero shader compiled:" << shader.toLocalFile();
}

QStringList HomeShaders::bundleCandidates() {
    const QString executableDir = QCoreApplication::applicationDirPath();
    QStringList candidates;
    if (QFileInfo(executableDir + QStringLiteral("/../Resources")).isDir() &&
        executableDir.contains(QStringLiteral(".app/")))
        candidates << QDir::cleanPath(executableDir + QStringLiteral("/../Resources/") +
                                      bundleName);
    candidates << executableDir + u'/' + bundleName;
    candidates << QDir::cleanPath(executableDir + u'/' +
                                  QString::fromUtf8(Installation::dataFromExecutables) + u'/' +
                                  bundleName);
    candidates << QStringLiteral(NORVANE_APP_BUNDLE_BUILD_PATH);
    return candidates;
}

std::optional<QString> HomeShaders::locate(const QStringList &bundleCandidates) {
    for (const QString &bundle : bundleCandidates) {
        if (!QFileInfo(bundle).isDir())
            continue;
        const QFileInfo shader(bundle + u'/' + shaderFile);
        if (shader.isFile() && shader.isReadable() && shader.size() > 0)
            return shader.absoluteFilePath();
        return std::nullopt; // the bundle is there but holds no shader
    }
    return std::nullopt;
}

} // namespace norvane
