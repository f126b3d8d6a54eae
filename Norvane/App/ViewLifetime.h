#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>

class QTimer;
class QWidget;

namespace norvane {

// How long Pellor's views live. Once every window of Pellor has been closed for a grace period,
// the views are released (windows, QML scenes and engines) and the freed memory goes back to the
// system; the models stay, and the next open builds a view again over them. A window hidden with
// the application is not closed: it comes back on unhide, as it was.
class ViewLifetime : public QObject {
    Q_OBJECT

public:
    // What the owner of the views answers.
    struct Views {
        // True while a view other than the tracked windows is open (a sheet, the quick panel).
        std::function<bool()> otherOpen;
        // Releases every view there is; true when there was one.
        std::function<bool()> release;
    };

    ViewLifetime(std::chrono::milliseconds gracePeriod, Views views, QObject *parent = nullptr);

    // A top-level window of Pellor: closing it starts the grace period, and it and what it opens
    // (sheets, alerts) count as Pellor's own.
    void track(QWidget *window);
    // A view that is not a window closed (the quick panel): the grace period starts.
    void viewClosed();
    [[nodiscard]] bool isOwnWindow(const QWidget *widget) const;
    [[nodiscard]] bool viewsClosed() const;

    // Hides Pellor's visible windows, to show them again in the same order on unhide.
    void hideWindows();
    void unhideWindows();
    // `window` is shown again by other means: unhide leaves it alone.
    void shown(QWidget *window);

    // Runs out the grace period after the last window closed.
    [[nodiscard]] QTimer *timer() const { return m_timer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void releaseIfClosed();

    Views m_views;
    QTimer *m_timer;
    QList<QPointer<QWidget>> m_tracked;
    QList<QPointer<QWidget>> m_hidden;
};

} // namespace norvane
