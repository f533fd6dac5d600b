#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "shell/script_windows.h"
#include "ui/form_binding.h"

namespace Ui {
class ScriptEditorDialog;
}

namespace varnel {

// The script editor's widgets over ScriptEditorWindow: the layout
// res/script_editor_dialog.ui bound to ScriptEditorForm, each button
// forwarded.
class CScriptEditorDialog : public QDialog, public ScriptEditorView {
    Q_OBJECT
public:
    explicit CScriptEditorDialog(AppContext& context, QWidget* parent = nullptr);
    ~CScriptEditorDialog() override;

    const ScriptEditorModel& model() const { return window_.model(); }

    // ScriptEditorView
    void readForm(ScriptEditorForm& form) override { binding_->fromWidgets(form); }
    void showForm(const ScriptEditorForm& form) override { binding_->toWidgets(form); }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void pause(int) override {}
    void end(int result) override { done(result); }

private:
    void connectButton(std::string_view name, std::function<void()> action);

    std::unique_ptr<Ui::ScriptEditorDialog> ui_;
    ScriptEditorWindow window_;
    std::unique_ptr<FormBinding<ScriptEditorForm>> binding_;
};

}  // namespace varnel
