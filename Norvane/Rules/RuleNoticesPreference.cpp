#include "RuleNoticesPreference.h"

#include <QSettings>

namespace norvane {

RuleNoticesPreference::RuleNoticesPreference(QObject *parent)
    : QObject(parent), m_enabled(QSettings().value(QLatin1StringView(key), true).toBool()) {}

void RuleNoticesPreference::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    QSettings().setValue(QLatin1StringView(key), enabled);
    Q_EMIT enabledChanged();
}

} // namespace norvane
