#pragma once

#include <QObject>
#include <QQmlEngine>

namespace norvane {

// A short message a view tells screen readers when something happens that has no control of its
// own to tell it (an apply that succeeded, a refused value). Qt 6.4 has no announcement API: the
// view shows it as an object of the notification role that appears each time, which the
// platform's bridge reports as shown (AT-SPI's "showing") and screen readers read out. The same
// text announced again is announced again.
class Announcement : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by a view model")
    Q_PROPERTY(QString text READ text NOTIFY announced)

public:
    using QObject::QObject;

    [[nodiscard]] const QString &text() const { return m_text; }
    void announce(const QString &text) {
        m_text = text;
        emit announced();
    }

signals:
    void announced();

private:
    QString m_text;
};

} // namespace norvane
