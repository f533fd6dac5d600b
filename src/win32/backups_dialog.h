#pragma once

#include <memory>

#include "forms/backups/backups_form.h"
#include "shell/backups_window.h"
#include "win32/form_binding.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The Backups window, bound through the backups form's table; the shell's
// BackupsWindow lists, writes back and saves copies.
class CBackupsDialog : public ModalDialog, public DialogHost<BackupsView, CBackupsDialog> {
public:
    explicit CBackupsDialog(AppContext& context) : ModalDialog(L"BackupsDialog"), window_(context, *this) {}

    void readForm(BackupsForm& form) override { binding_->fromControls(form); }
    void showForm(const BackupsForm& form) override { binding_->toControls(form); }

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    bool onClose() override;

    BackupsWindow window_;
    std::unique_ptr<FormBinding<BackupsForm>> binding_;
};

}  // namespace varnel::win32
