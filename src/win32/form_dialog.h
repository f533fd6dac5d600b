#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <span>

#include "core/user_interface.h"
#include "shell/app_context.h"
#include "shell/satellite_windows.h"
#include "win32/form_binding.h"
#include "win32/modal_dialog.h"

namespace varnel::win32 {

// A modal window over one of the main dialog's satellite windows: its
// template's controls bound through the form's control table, clicks on its
// buttons and releases of its slider run the form's change rule, OK runs the
// window's store and closes only when it passes, Cancel closes without
// storing. The concrete windows only name their template.
template <class Form>
class FormDialog : public ModalDialog {
public:
    const Form& form() const { return form_; }
    const FormBinding<Form>& binding() const { return *binding_; }

    void readControls() { binding_->fromControls(form_); }
    void showControls() { binding_->toControls(form_); }

protected:
    FormDialog(const wchar_t* templateName, AppContext& context, const SatelliteWindow<Form>& window)
        : ModalDialog(templateName), context_(context), window_(window) {}

    void onInit() override {
        binding_ = std::make_unique<FormBinding<Form>>(window(), window_.controls);
        binding_->takeCaptions(form_);
        window_.show(context_.session, form_);
        // Letters typed into callsign edits come out in upper case; hop
        // counts take digits only.
        addEditStyle(window_.upperCase, ES_UPPERCASE);
        addEditStyle(window_.digitsOnly, ES_NUMBER);
        showControls();
    }

    void onCommand(int id, int code, HWND control) override {
        if (id == IDOK && code == BN_CLICKED) {
            readControls();
            if (window_.store(form_, context_.session, context_.ui) == 0) finish(IDOK);
            return;
        }
        const ControlInfo<Form>* row = binding_->row(id);
        if (row && row->type == ControlType::Button && code == BN_CLICKED) {
            changed(id);
            return;
        }
        ModalDialog::onCommand(id, code, control);
    }

    void onScroll(HWND control, int code) override {
        if (code != TB_ENDTRACK || binding_->updating()) return;
        const int id = GetDlgCtrlID(control);
        if (binding_->row(id)) changed(id);
    }

    void changed(int id) {
        readControls();
        if (window_.changed) window_.changed(form_, id);
        showControls();
    }

private:
    void addEditStyle(std::span<const int> ids, LONG style) {
        for (int id : ids)
            if (HWND edit = binding_->control(id))
                SetWindowLongW(edit, GWL_STYLE, GetWindowLongW(edit, GWL_STYLE) | style);
    }

    AppContext& context_;
    const SatelliteWindow<Form>& window_;
    Form form_;
    std::unique_ptr<FormBinding<Form>> binding_;
};

}  // namespace varnel::win32
