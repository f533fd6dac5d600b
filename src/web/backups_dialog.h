#pragma once

#include <memory>

#include "forms/backups/backups_form.h"
#include "shell/backups_window.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// The Backups window over the shell's BackupsWindow: the backups the page
// keeps in the browser's storage, each written back or downloaded.
class CBackupsDialog : public PageView<BackupsView> {
public:
    CBackupsDialog(PageLoop& loop, AppContext& context) : PageView(loop, "BackupsDialog"), window_(context, *this) {}

    void readForm(BackupsForm& form) override { binding_->fromControls(form); }
    void showForm(const BackupsForm& form) override { binding_->toControls(form); }

private:
    void onOpen() override;
    void onClick(const std::string& name) override;
    void onClose() override { window_.closePressed(); }

    BackupsWindow window_;
    std::unique_ptr<FormBinding<BackupsForm>> binding_;
};

}  // namespace varnel::web
