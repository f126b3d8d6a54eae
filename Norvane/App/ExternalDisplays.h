#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>

namespace norvane {

// How many external displays are connected, for the rules that wait for one, counted from the
// screens Qt shows the application. A screen whose name marks a built-in panel (eDP, LVDS, DSI;
// a Mac's "Built-in …" or "Color LCD") is not external, and screens that show one picture (the
// same geometry: mirroring each other) count once. Whether the computer has a built-in panel at
// all decides what a lone screen is: with one (a laptop, also with the lid closed and only the
// external screen left) every other screen is external; without one (a desktop, a virtual
// machine) the first screen, the primary one, is the computer's own monitor and only the others
// are external, so that the rule means "a second display" there instead of holding for good. A
// projector mirroring that monitor still counts.
class ExternalDisplays : public QObject {
    Q_OBJECT

public:
    struct Screen {
        QString name;
        QRect geometry;
    };

    // `hasBuiltInPanel`: whether the computer has a built-in panel even when none of its screens
    // shows one; none: the kernel's display connectors (hasBuiltInConnector()).
    explicit ExternalDisplays(std::function<bool()> hasBuiltInPanel = {},
                              QObject *parent = nullptr);

    // The application's screens now. Main thread.
    [[nodiscard]] int count() const;

    [[nodiscard]] static int count(const QList<Screen> &screens, bool hasBuiltInPanel);
    [[nodiscard]] static bool isBuiltInPanel(const QString &name);
    // Whether `/sys/class/drm` (or `folder`) lists an eDP, LVDS or DSI connector.
    [[nodiscard]] static bool
    hasBuiltInConnector(const QString &folder = QStringLiteral("/sys/class/drm"));

Q_SIGNALS:
    // A screen was added or removed, or one moved or changed its size (mirroring turned on or
    // off).
    void changed();

private:
    void watch(QObject *screen);

    std::function<bool()> m_hasBuiltInPanel;
};

} // namespace norvane
