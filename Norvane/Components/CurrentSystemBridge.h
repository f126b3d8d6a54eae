#pragma once

#include <QObject>
#include <QQmlEngine>

namespace norvane {

// What QML needs to know of the system Pellor changes, as the singleton CurrentSystem. Fixed for
// the life of the process.
class CurrentSystemBridge : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(CurrentSystem)
    QML_SINGLETON
    // The screen saver starts with the display-off timer and has no setting of its own.
    Q_PROPERTY(bool screenSaverFollowsDisplay READ screenSaverFollowsDisplay CONSTANT)

public:
    using QObject::QObject;

    [[nodiscard]] static bool screenSaverFollowsDisplay();
};

} // namespace norvane
