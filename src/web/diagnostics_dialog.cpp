#include "web/diagnostics_dialog.h"

namespace varnel::web {

void CDiagnosticsDialog::onOpen() {
    binding_ = std::make_unique<FormBinding<DiagnosticsForm>>(token(), kDiagnosticsControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CDiagnosticsDialog::showForm(const DiagnosticsForm& form) {
    binding_->toControls(form);
    page::setShown(token(), "receiveLevelBar", form.receiveLevelShown);
    page::setProgress(token(), "receiveLevelBar", 0, 255, form.receiveLevel);
}

void CDiagnosticsDialog::onClick(const std::string& name) {
    if (binding_->updating()) return;
    // OK and every button close: nothing is left on or playing.
    if (name == "okButton") return window_.closeRequested(kResultAccepted);
    const ControlInfo<DiagnosticsForm>* row = binding_->row(name);
    if (!row) return;
    if (row->type == ControlType::Button) return window_.closeRequested(kResultAccepted);
    if (row->type == ControlType::Check || row->type == ControlType::Radio) window_.controlChanged(row->id);
}

// A slider sends its level when let go.
void CDiagnosticsDialog::onChange(const std::string& name) {
    const ControlInfo<DiagnosticsForm>* row = binding_->row(name);
    if (row && !binding_->updating() && row->type == ControlType::Slider) window_.controlChanged(row->id);
}

}  // namespace varnel::web
