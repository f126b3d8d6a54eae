#include "ExternalDisplays.h"

#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

namespace norvane {

using namespace Qt::StringLiterals;

ExternalDisplays::ExternalDisplays(std::function<bool()> hasBuiltInPanel, QObject *parent)
    : QObject(parent), m_hasBuiltInPanel(std::move(hasBuiltInPanel)) {
    if (!m_hasBuiltInPanel)
        m_hasBuiltInPanel = [] { return hasBuiltInConnector(); };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        Q_EMIT changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &ExternalDisplays::changed);
}

void ExternalDisplays::watch(QObject *screen) {
    connect(static_cast<QScreen *>(screen), &QScreen::geometryChanged, this,
            &ExternalDisplays::changed);
}

int ExternalDisplays::count() const {
    QList<Screen> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << Screen{screen->name(), screen->geometry()};
    return count(screens, m_hasBuiltInPanel());
}

bool ExternalDisplays::isBuiltInPanel(const QString &name) {
    static const QRegularExpression builtIn(uR"(^(edp|lvds|dsi)|^built-in\b|^color lcd$)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return builtIn.match(name.trimmed()).hasMatch();
}

int ExternalDisplays::count(const QList<Screen> &screens, bool hasBuiltInPanel) {
    QList<Screen> others;
    std::copy_if(screens.cbegin(), screens.cend(), std::back_inserter(others),
                 [](const Screen &screen) { return !isBuiltInPanel(screen.name); });
    // Without a built-in panel the first screen (the primary one) is the computer's own monitor;
    // a screen mirroring it is still a display of its own (a projector).
    if (!hasBuiltInPanel && others.size() == screens.size() && !others.isEmpty())
        others.removeFirst();
    QList<QRect> pictures;
    for (const Screen &screen : others)
        if (!pictures.contains(screen.geometry))
            pictures << screen.geometry;
    return int(pictures.size());
}

bool ExternalDisplays::hasBuiltInConnector(const QString &folder) {
    // Connectors are named after their card: card0-eDP-1, card1-LVDS-1.
    static const QRegularExpression panel(uR"(^card\d+-(eDP|LVDS|DSI)-)"_s);
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    return std::any_of(entries.cbegin(), entries.cend(),
                       [](const QString &entry) { return panel.match(entry).hasMatch(); });
}

} // namespace norvane
