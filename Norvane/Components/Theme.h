#pragma once

#include <QColor>
#include <QObject>
#include <QQmlEngine>

namespace norvane {

// The colours the views share, resolved against the application's current light or dark
// palette; they change at once when the palette does. Every pair of text, icon or focus ring
// and what lies under it meets WCAG 2.1 AA in both appearances (ThemeContrastTest).
class Theme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool dark READ dark NOTIFY changed)
    Q_PROPERTY(QColor workspaceBackground READ workspaceBackground NOTIFY changed)
    Q_PROPERTY(QColor panelBackground READ panelBackground NOTIFY changed)
    Q_PROPERTY(QColor sidebarBackground READ sidebarBackground NOTIFY changed)
    Q_PROPERTY(QColor primary READ primary NOTIFY changed)
    Q_PROPERTY(QColor secondary READ secondary NOTIFY changed)
    Q_PROPERTY(QColor tertiary READ tertiary NOTIFY changed)
    Q_PROPERTY(QColor separator READ separator NOTIFY changed)
    Q_PROPERTY(QColor controlFill READ controlFill NOTIFY changed)
    Q_PROPERTY(QColor highlight READ highlight NOTIFY changed)
    Q_PROPERTY(QColor focusRing READ focusRing NOTIFY changed)
    Q_PROPERTY(QColor warning READ warning NOTIFY changed)
    Q_PROPERTY(QColor failure READ failure NOTIFY changed)
    Q_PROPERTY(QColor success READ success NOTIFY changed)
    Q_PROPERTY(QColor heroScrim READ heroScrim NOTIFY changed)
    Q_PROPERTY(QColor onAccent READ onAccent CONSTANT)

public:
    // Every colour of one appearance.
    struct Colours {
        QColor workspaceBackground;
        QColor panelBackground;
        QColor sidebarBackground;
        QColor primary;
        QColor secondary; // subtitles, notes, secondary symbols
        QColor tertiary;  // placeholders
        QColor separator;
        QColor controlFill;
        QColor highlight; // the highlighted menu item, under onAccent text
        // The keyboard focus ring: the highlight, lighter in dark so it stands out on dark panels.
        QColor focusRing;
        QColor warning;
        QColor failure;
        QColor success;
        QColor heroScrim; // over the hero's aurora, under its texts
    };

    explicit Theme(QObject *parent = nullptr);

    // Whether a palette is a dark one: its window colour is darker than mid-grey.
    [[nodiscard]] static bool isDark(const QPalette &palette);
    [[nodiscard]] static Colours colours(bool dark);

    // Text and symbols on an accent fill.
    [[nodiscard]] static QColor onAccent() { return Qt::white; }
    // The fill of a prominent button tinted with `accent`, under onAccent text.
    Q_INVOKABLE static QColor accentFill(const QColor &accent, bool dark);
    // The capsule behind accentText (the "Active" badge), opaque so that what lies under it
    // (the hero's aurora, a selected row) does not change how the text reads.
    Q_INVOKABLE static QColor badgeFill(const QColor &accent, bool dark);
    // Small text in the accent colour on badgeFill.
    Q_INVOKABLE static QColor accentText(const QColor &accent, bool dark);
    // A symbol in the accent colour on the window, a panel or the sidebar, plain or under the
    // accent's own tint (a selected row, a symbol tile).
    Q_INVOKABLE static QColor accentSymbol(const QColor &accent, bool dark);

    [[nodiscard]] bool dark() const { return m_dark; }
    [[nodiscard]] QColor workspaceBackground() const { return colours(m_dark).workspaceBackground; }
    [[nodiscard]] QColor panelBackground() const { return colours(m_dark).panelBackground; }
    [[nodiscard]] QColor sidebarBackground() const { return colours(m_dark).sidebarBackground; }
    [[nodiscard]] QColor primary() const { return colours(m_dark).primary; }
    [[nodiscard]] QColor secondary() const { return colours(m_dark).secondary; }
    [[nodiscard]] QColor tertiary() const { return colours(m_dark).tertiary; }
    [[nodiscard]] QColor separator() const { return colours(m_dark).separator; }
    [[nodiscard]] QColor controlFill() const { return colours(m_dark).controlFill; }
    [[nodiscard]] QColor highlight() const { return colours(m_dark).highlight; }
    [[nodiscard]] QColor focusRing() const { return colours(m_dark).focusRing; }
    [[nodiscard]] QColor warning() const { return colours(m_dark).warning; }
    [[nodiscard]] QColor failure() const { return colours(m_dark).failure; }
    [[nodiscard]] QColor success() const { return colours(m_dark).success; }
    [[nodiscard]] QColor heroScrim() const { return colours(m_dark).heroScrim; }

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();

    bool m_dark = false;
};

} // namespace norvane
