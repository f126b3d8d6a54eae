#include "Appearance.h"

#include <QApplication>
#include <QSettings>
#include <QStyle>
#include <optional>

namespace norvane::Appearance {

namespace {

constexpr char choiceKey[] = "appearanceChoice";

QPalette lightPalette() {
    QPalette p(QColor(0xec, 0xed, 0xf0));
    p.setColor(QPalette::Window, QColor(0xf4, 0xf5, 0xf8));
    p.setColor(QPalette::WindowText, QColor(0x1d, 0x1e, 0x22));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0xf2, 0xf3, 0xf6));
    p.setColor(QPalette::Text, QColor(0x1d, 0x1e, 0x22));
    p.setColor(QPalette::Button, QColor(0xec, 0xed, 0xf0));
    p.setColor(QPalette::ButtonText, QColor(0x1d, 0x1e, 0x22));
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xf4));
    p.setColor(QPalette::ToolTipText, QColor(0x1d, 0x1e, 0x22));
    p.setColor(QPalette::PlaceholderText, QColor(0x1d, 0x1e, 0x22, 0x80));
    p.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xe0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x1d, 0x1e, 0x22, 0x70));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x1d, 0x1e, 0x22, 0x70));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x1d, 0x1e, 0x22, 0x70));
    return p;
}

QPalette darkPalette() {
    QPalette p(QColor(0x3a, 0x3c, 0x42));
    p.setColor(QPalette::Window, QColor(0x1d, 0x1f, 0x23));
    p.setColor(QPalette::WindowText, QColor(0xf2, 0xf3, 0xf5));
    p.setColor(QPalette::Base, QColor(0x29, 0x2a, 0x2e));
    p.setColor(QPalette::AlternateBase, QColor(0x30, 0x31, 0x36));
    p.setColor(QPalette::Text, QColor(0xf2, 0xf3, 0xf5));
    p.setColor(QPalette::Button, QColor(0x34, 0x36, 0x3b));
    p.setColor(QPalette::ButtonText, QColor(0xf2, 0xf3, 0xf5));
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0x2c, 0x2e, 0x33));
    p.setColor(QPalette::ToolTipText, QColor(0xf2, 0xf3, 0xf5));
    p.setColor(QPalette::PlaceholderText, QColor(0xf2, 0xf3, 0xf5, 0x80));
    p.setColor(QPalette::Highlight, QColor(0x3d, 0x7f, 0xf0));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x6c, 0xa8, 0xff));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xf2, 0xf3, 0xf5, 0x70));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0xf2, 0xf3, 0xf5, 0x70));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0xf2, 0xf3, 0xf5, 0x70));
    return p;
}

} // namespace

int storedChoice() {
    return QSettings().value(choiceKey, int(system)).toInt();
}

void storeChoice(int choice) {
    QSettings().setValue(choiceKey, choice);
}

QPalette palette(int choice) {
    switch (choice) {
    case light:
        return lightPalette();
    case dark:
        return darkPalette();
    default:
        // No role set: the application resolves every role from the platform's palette.
        QPalette system;
        system.setResolveMask(0);
        return system;
    }
}

namespace {

struct Applied {
    std::optional<int> choice; // none before the first apply()
    QPalette systemPalette;    // the desktop's, as last seen while following it
};

Applied &applied() {
    static Applied state;
    return state;
}

bool followsSystem(std::optional<int> choice) {
    return !choice || (*choice != light && *choice != dark);
}

} // namespace

void apply(int choice) {
    Applied &state = applied();
    if (followsSystem(state.choice))
        state.systemPalette = QGuiApplication::palette();
    QApplication::setPalette(palette(choice));
    state.choice = choice;
    if (followsSystem(choice))
        state.systemPalette = QGuiApplication::palette();
}

QPalette systemPalette() {
    // While following the desktop the application's palette is the desktop's, which Qt keeps
    // up to date when the desktop's theme changes.
    const Applied &state = applied();
    return followsSystem(state.choice) ? QGuiApplication::palette() : state.systemPalette;
}

} // namespace norvane::Appearance
