#pragma once

#include "SettingsModel.h"
#include "SleepDiagnosisModel.h"

#include <QWidget>

class QQuickWidget;

namespace norvane {

// The window "Current System Configuration": SystemSettingsView over a SettingsModel that
// outlives it (the application releases the closed window and keeps the model).
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize contentSize{570, 610};
    static constexpr QSize minimumContentSize{530, 530};
    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/settings/SystemSettingsView.qml";

    // Shows `model` and `diagnosis`, which the caller owns and keeps for longer than the window.
    SettingsWindow(SettingsModel *model, SleepDiagnosisModel *diagnosis, QWidget *parent = nullptr);

    [[nodiscard]] SettingsModel *model() const { return m_model; }
    [[nodiscard]] SleepDiagnosisModel *diagnosis() const { return m_diagnosis; }
    [[nodiscard]] QQuickWidget *view() const { return m_view; }

protected:
    // Escape closes the window, as it does a desktop's utility windows.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void centre();

    QQuickWidget *m_view;
    SettingsModel *m_model;
    SleepDiagnosisModel *m_diagnosis;
};

} // namespace norvane
