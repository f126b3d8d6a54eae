#pragma once

#include "SettingsModel.h"
#include "SleepDiagnosisModel.h"

#include <QWidget>

class QQuickWidget;

namespace norvane {

// The window "Current System Configuration": SystemSettingsView over its own SettingsModel.
// Closing it only hides it; the application keeps it for the next time.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize contentSize{570, 580};
    static constexpr QSize minimumContentSize{530, 530};
    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/settings/SystemSettingsView.qml";

    explicit SettingsWindow(SessionStore &store, SettingsModel::Environment environment = {},
                            QWidget *parent = nullptr,
                            SleepDiagnosisModel::Environment diagnosisEnvironment = {});

    [[nodiscard]] SettingsModel *model() const { return m_model; }
    [[nodiscard]] SleepDiagnosisModel *diagnosis() const { return m_diagnosis; }
    [[nodiscard]] QQuickWidget *view() const { return m_view; }

private:
    void centre();

    QQuickWidget *m_view; // before the model: the view goes first when the window is deleted
    SettingsModel *m_model;
    SleepDiagnosisModel *m_diagnosis;
};

} // namespace norvane
