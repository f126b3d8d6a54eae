#pragma once

#include <QColor>
#include <QObject>
#include <QQmlEngine>

namespace norvane {

// The colours the views share, resolved against the application's current light or dark
// palette; they change at once when the palette does.
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
    Q_PROPERTY(QColor warning READ warning CONSTANT)
    Q_PROPERTY(QColor failure READ failure CONSTANT)

public:
    explicit Theme(QObject *parent = nullptr);

    // Whether a palette is a dark one: its window colour is darker than mid-grey.
    [[nodiscard]] static bool isDark(const QPalette &palette);

    [[nodiscard]] bool dark() const { return m_dark; }
    [[nodiscard]] QColor workspaceBackground() const;
    [[nodiscard]] QColor panelBackground() const;
    [[nodiscard]] QColor sidebarBackground() const;
    [[nodiscard]] QColor primary() const;
    [[nodiscard]] QColor secondary() const;
    [[nodiscard]] QColor tertiary() const;
    [[nodiscard]] QColor separator() const;
    [[nodiscard]] QColor controlFill() const;
    [[nodiscard]] QColor highlight() const;
    // The keyboard focus ring: the highlight, lighter in dark so it stands out on dark panels.
    [[nodiscard]] QColor focusRing() const;
    [[nodiscard]] static QColor warning() { return QColor(0xe8, 0x8a, 0x1a); }
    [[nodiscard]] static QColor failure() { return QColor(0xd9, 0x3a, 0x32); }

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();

    bool m_dark = false;
};

} // namespace norvane
