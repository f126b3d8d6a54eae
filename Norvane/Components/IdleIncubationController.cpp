#include "IdleIncubationController.h"

#include <QTimerEvent>

namespace norvane {

void IdleIncubationController::incubatingObjectCountChanged(int count) {
    if (count == 0)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start(0, this);
}

void IdleIncubationController::timerEvent(QTimerEvent *event) {
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    incubateFor(sliceMilliseconds);
}

} // namespace norvane
