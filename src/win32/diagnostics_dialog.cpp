#include "win32/diagnostics_dialog.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "win32/accessibility.h"
#include "win32/dialog_ids.h"

namespace varnel::win32 {

CDiagnosticsDialog::CDiagnosticsDialog(AppContext& context, const DiagnosticsSettings& settings)
    : ModalDialog(L"DiagnosticsDialog"), window_(context, *this, settings) {}

void CDiagnosticsDialog::onInit() {
    binding_ = std::make_unique<FormBinding<DiagnosticsForm>>(window(), kDiagnosticsControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CDiagnosticsDialog::showForm(const DiagnosticsForm& form) {
    // A reading that changed is spoken; the receive level, which follows
    // the receiver live, is not.
    const HWND readings[] = {binding_->control(diagnostics_id::kVoltage),
                             binding_->control(diagnostics_id::kTemperature)};
    auto text = [](HWND control) {
        wchar_t buffer[64] = {};
        if (control) GetWindowTextW(control, buffer, 64);
        return std::wstring(buffer);
    };
    std::wstring before[std::size(readings)];
    for (std::size_t i = 0; i < std::size(readings); ++i) before[i] = text(readings[i]);
    binding_->toControls(form);
    for (std::size_t i = 0; i < std::size(readings); ++i)
        if (text(readings[i]) != before[i]) announceChange(readings[i]);
    HWND bar = GetDlgItem(window(), dialog_ids::diagnostics_dialog::receiveLevelBar);
    ShowWindow(bar, form.receiveLevelShown ? SW_SHOWNA : SW_HIDE);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(form.receiveLevel), 0);
    // The bar follows the receiver live; paint it now, not when idle.
    if (form.receiveLevelShown) UpdateWindow(bar);
}

void CDiagnosticsDialog::onCommand(int id, int code, HWND control) {
    if (binding_->updating() || code != BN_CLICKED) return;
    // OK, Escape and every button close: nothing is left on or playing.
    if (id == IDOK || id == IDCANCEL) return window_.closeRequested(shellResult(id));
    const ControlInfo<DiagnosticsForm>* row = binding_->row(id);
    if (!row) return;
    if (row->type == ControlType::Button) return window_.closeRequested(kResultAccepted);
    // A radio button's partner turning off needs nothing.
    if (row->type == ControlType::Radio && SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    if (row->type == ControlType::Check || row->type == ControlType::Radio) window_.controlChanged(id);
}

// A drag sends the level once, when the thumb is let go; keys and clicks on
// the groove send every step, so the radio follows a level set from the
// keyboard too.
void CDiagnosticsDialog::onScroll(HWND control, int code) {
    if (binding_->updating() || code == TB_THUMBTRACK || code == TB_ENDTRACK) return;
    const int id = GetDlgCtrlID(control);
    if (binding_->row(id)) window_.controlChanged(id);
}

bool CDiagnosticsDialog::onClose() {
    window_.closeRequested(kResultRejected);
    return true;
}

}  // namespace varnel::win32
