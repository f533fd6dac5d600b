#pragma once

#include <memory>

#include "forms/diagnostics/diagnostics_form.h"
#include "shell/diagnostics_window.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// The diagnostics window over the shell's DiagnosticsWindow, which talks to
// the tracker and paces the poll.
class CDiagnosticsDialog : public PageView<DiagnosticsView> {
public:
    CDiagnosticsDialog(PageLoop& loop, AppContext& context, const DiagnosticsSettings& settings)
        : PageView(loop, "DiagnosticsDialog"), window_(context, *this, settings) {}
    const DiagnosticsSettings& settings() const { return window_.settings(); }

    void readForm(DiagnosticsForm& form) override { binding_->fromControls(form); }
    void showForm(const DiagnosticsForm& form) override;

private:
    void onOpen() override;
    void onClick(const std::string& name) override;
    void onChange(const std::string& name) override;
    void onTimer(int id) override { window_.timerTicked(id); }
    void onClose() override { window_.closeRequested(kResultRejected); }

    DiagnosticsWindow window_;
    std::unique_ptr<FormBinding<DiagnosticsForm>> binding_;
};

}  // namespace varnel::web
