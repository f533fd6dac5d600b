#include "win32/script_editor_dialog.h"

#include <cstring>
#include <string_view>

#include "win32/dialog_ids.h"

namespace varnel::win32 {

namespace {

// A control of the editor by its layout name: a row of the form's table, or
// one the template generator gave an id; 0 when there is none.
int controlId(std::string_view name) {
    for (const auto& row : kScriptEditorControls)
        if (row.name == name) return row.id;
    for (const auto& named : dialog_ids::script_editor_dialog::kNamed)
        if (name == named.name) return named.id;
    return 0;
}

}  // namespace

CScriptEditorDialog::CScriptEditorDialog(AppContext& context)
    : ModalDialog(L"ScriptEditorDialog"), window_(context, *this) {}

CScriptEditorDialog::~CScriptEditorDialog() {
    if (font_) DeleteObject(font_);
}

void CScriptEditorDialog::onInit() {
    binding_ = std::make_unique<FormBinding<ScriptEditorForm>>(window(), kScriptEditorControls);
    binding_->takeCaptions(window_.form());
    // Fixed-width lines, so that the indentation of nested blocks lines up.
    font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    SendMessageW(binding_->control(script_editor_id::kLineList), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (const ScriptButtonInfo& info : kScriptButtons)
        if (const int id = controlId(info.name)) actions_.push_back({id, true, info.button, ScriptCommand::Ok});
    // OK is the dialog's own IDOK, which the generator gave "okButton".
    actions_.push_back({IDOK, false, ScriptButton{}, ScriptCommand::Ok});
    for (const auto& [name, command] : kScriptCommandButtons)
        if (const int id = controlId(name)) actions_.push_back({id, false, ScriptButton{}, command});
    window_.start();
}

void CScriptEditorDialog::onCommand(int id, int code, HWND control) {
    if (binding_->updating() || code != BN_CLICKED) return;
    for (const Action& a : actions_)
        if (a.id == id) return a.statement ? window_.statementPressed(a.button) : window_.commandPressed(a.command);
    ModalDialog::onCommand(id, code, control);
}

}  // namespace varnel::win32
