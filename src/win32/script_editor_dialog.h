#pragma once

#include <memory>
#include <vector>

#include "forms/script/script_editor_form.h"
#include "shell/script_windows.h"
#include "win32/form_binding.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The script editor: the program's lines, the operand inputs and a button
// per statement, bound through the script editor form's table; the shell's
// ScriptEditorWindow (over ScriptEditorModel) keeps every rule.
class CScriptEditorDialog : public ModalDialog, public DialogHost<ScriptEditorView, CScriptEditorDialog> {
public:
    explicit CScriptEditorDialog(AppContext& context);
    ~CScriptEditorDialog() override;

    void readForm(ScriptEditorForm& form) override { binding_->fromControls(form); }
    void showForm(const ScriptEditorForm& form) override { binding_->toControls(form); }

    ScriptEditorWindow& behaviour() { return window_; }

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;

    ScriptEditorWindow window_;
    std::unique_ptr<FormBinding<ScriptEditorForm>> binding_;
    // Control id -> what its click does: a statement or a command.
    struct Action {
        int id;
        bool statement;
        ScriptButton button;
        ScriptCommand command;
    };
    std::vector<Action> actions_;
    HFONT font_ = nullptr;
};

}  // namespace varnel::win32
