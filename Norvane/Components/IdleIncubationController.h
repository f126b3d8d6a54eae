#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QQmlIncubationController>

namespace norvane {

// Makes the objects of asynchronous Loaders a few milliseconds at a time between events, so a
// view's first frame shows before its deferred parts exist. Without a controller, a QQuickWidget's
// engine makes them at once, as if they were not asynchronous. Give it the engine as parent: the
// engine lets go of its controller when it is destroyed.
class IdleIncubationController : public QObject, public QQmlIncubationController {
public:
    explicit IdleIncubationController(QObject *parent = nullptr) : QObject(parent) {}

    static constexpr int sliceMilliseconds = 5;

protected:
    void incubatingObjectCountChanged(int count) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QBasicTimer m_timer;
};

} // namespace norvane
