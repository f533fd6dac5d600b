#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <memory>
#include <span>

#include "core/user_interface.h"
#include "win32/form_binding.h"
#include "win32/modal_dialog.h"

namespace varnel::win32 {

// A modal window over one form: its template's controls bound through the
// form's control table, clicks on its buttons and releases of its slider run
// the form's change rule, OK runs the form's check-and-store and closes only
// when it passes, Cancel closes without storing. The concrete windows say
// how to show and store.
template <class Form>
class FormDialog : public ModalDialog {
public:
    using Table = std::span<const ControlInfo<Form>>;
    using Changed = void (*)(Form&, int);

    const Form& form() const { return form_; }
    const FormBinding<Form>& binding() const { return *binding_; }

    void readControls() { binding_->fromControls(form_); }
    void showControls() { binding_->toControls(form_); }

protected:
    FormDialog(const wchar_t* templateName, Table table, Changed changed)
        : ModalDialog(templateName), table_(table), changed_(changed) {}

    // Letters typed into these edits come out in upper case, as the
    // tracker's callsign fields want them.
    void upperCaseEdits(std::initializer_list<int> ids) { addEditStyle(ids, ES_UPPERCASE); }
    // These edits take digits only.
    void digitEdits(std::initializer_list<int> ids) { addEditStyle(ids, ES_NUMBER); }

    virtual void showForm(Form& form) = 0;
    // 0 closes the window; otherwise the form has said why and it stays.
    virtual int storeForm(const Form& form) = 0;
    // What the concrete window adds once the controls are bound.
    virtual void setUp() {}

    void onInit() override {
        binding_ = std::make_unique<FormBinding<Form>>(window(), table_);
        binding_->takeCaptions(form_);
        showForm(form_);
        setUp();
        showControls();
    }

    void onCommand(int id, int code, HWND control) override {
        if (id == IDOK && code == BN_CLICKED) {
            readControls();
            if (storeForm(form_) == 0) finish(IDOK);
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
        if (changed_) changed_(form_, id);
        showControls();
    }

private:
    void addEditStyle(std::initializer_list<int> ids, LONG style) {
        for (int id : ids)
            if (HWND edit = binding_->control(id))
                SetWindowLongW(edit, GWL_STYLE, GetWindowLongW(edit, GWL_STYLE) | style);
    }

    Table table_;
    Changed changed_;
    Form form_;
    std::unique_ptr<FormBinding<Form>> binding_;
};

}  // namespace varnel::win32
