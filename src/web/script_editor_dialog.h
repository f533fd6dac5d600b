#pragma once

#include <memory>

#include "forms/script/script_editor_form.h"
#include "shell/script_windows.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// The script editor over the shell's ScriptEditorWindow: its statement and
// command buttons found by the names the shell gives them.
class CScriptEditorDialog : public PageView<ScriptEditorView> {
public:
    CScriptEditorDialog(PageLoop& loop, AppContext& context)
        : PageView(loop, "ScriptEditorDialog"), window_(context, *this) {}

    void readForm(ScriptEditorForm& form) override { binding_->fromControls(form); }
    void showForm(const ScriptEditorForm& form) override { binding_->toControls(form); }

private:
    void onOpen() override;
    void onClick(const std::string& name) override;

    ScriptEditorWindow window_;
    std::unique_ptr<FormBinding<ScriptEditorForm>> binding_;
};

}  // namespace varnel::web
