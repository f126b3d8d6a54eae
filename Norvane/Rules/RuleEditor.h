#pragma once

#include "Components/Sheet.h"
#include "RuleEditorModel.h"

namespace norvane {

// The rule editor's sheet on the main window, hosting RuleEditorView over a RuleEditorModel.
class RuleEditor : public Sheet {
    Q_OBJECT

public:
    static constexpr QSize contentSize{520, 520};
    static constexpr char viewUrl[] = "qrc:/qt/qml/Norvane/qml/rules/RuleEditorView.qml";

    // `rule` none: a new rule.
    RuleEditor(const std::optional<Rule> &rule, const ProfileLibrary &library,
               RuleEditorModel::Save onSave);

    [[nodiscard]] RuleEditorModel *model() const { return m_model; }

protected:
    void cancel() override { m_model->cancel(); }

private:
    RuleEditorModel *m_model;
};

} // namespace norvane
