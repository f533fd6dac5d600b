#include "web/script_editor_dialog.h"

namespace varnel::web {

void CScriptEditorDialog::onOpen() {
    binding_ = std::make_unique<FormBinding<ScriptEditorForm>>(token(), kScriptEditorControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CScriptEditorDialog::onClick(const std::string& name) {
    if (binding_->updating()) return;
    for (const ScriptButtonInfo& info : kScriptButtons)
        if (info.name == name) return window_.statementPressed(info.button);
    for (const auto& [button, command] : kScriptCommandButtons)
        if (button == name) return window_.commandPressed(command);
    if (name == "cancelButton") end(kResultRejected);
}

}  // namespace varnel::web
