#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "forms/script/script_editor_form.h"
#include "script/script_editor_model.h"
#include "ui/app_context.h"
#include "ui/form_binding.h"

namespace Ui {
class ScriptEditorDialog;
}

namespace varnel {

// The script editor: the tracker's program as a list of lines built with
// statement buttons from a few operand inputs. A view over
// ScriptEditorModel, which holds every rule; only OK changes the session's
// script area and the current profile's script switch.
class CScriptEditorDialog : public QDialog {
    Q_OBJECT
public:
    explicit CScriptEditorDialog(AppContext& context, QWidget* parent = nullptr);
    ~CScriptEditorDialog() override;

    const ScriptEditorModel& model() const { return model_; }

private:
    void connectButton(std::string_view name, std::function<void()> action);
    // Copies the controls into the model, runs the action, and shows the
    // model's state again.
    void act(const std::function<void()>& action);

    AppContext& context_;
    std::unique_ptr<Ui::ScriptEditorDialog> ui_;
    ScriptEditorModel model_;
    ScriptEditorForm form_;
    std::unique_ptr<FormBinding<ScriptEditorForm>> binding_;
};

}  // namespace varnel
