#pragma once

#include <memory>

#include "forms/diagnostics/diagnostics_form.h"
#include "shell/diagnostics_window.h"
#include "win32/form_binding.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The adjustment and diagnostics window: LEDs, power, tones, the audio level
// and the live readings, bound through the diagnostics form's table; the
// shell's DiagnosticsWindow talks to the tracker and paces the poll.
class CDiagnosticsDialog : public ModalDialog, public DialogHost<DiagnosticsView, CDiagnosticsDialog> {
public:
    CDiagnosticsDialog(AppContext& context, const DiagnosticsSettings& settings);

    void readForm(DiagnosticsForm& form) override { binding_->fromControls(form); }
    void showForm(const DiagnosticsForm& form) override;

    // What goes back to the opener once the window has closed.
    const DiagnosticsSettings& settings() const { return window_.settings(); }

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void onScroll(HWND control, int code) override;
    void onTimer(int id) override { window_.timerTicked(id); }
    bool onClose() override;

    DiagnosticsWindow window_;
    std::unique_ptr<FormBinding<DiagnosticsForm>> binding_;
};

}  // namespace varnel::win32
