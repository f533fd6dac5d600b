#include "web/backups_dialog.h"

namespace varnel::web {

void CBackupsDialog::onOpen() {
    binding_ = std::make_unique<FormBinding<BackupsForm>>(token(), kBackupsControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CBackupsDialog::onClick(const std::string& name) {
    const ControlInfo<BackupsForm>* row = binding_->row(name);
    if (!row || binding_->updating()) return;
    switch (row->id) {
    case backups_id::kWriteBack: return window_.writeBackPressed();
    case backups_id::kSaveCopy: return window_.saveCopyPressed();
    case backups_id::kClose: return window_.closePressed();
    default: return;
    }
}

}  // namespace varnel::web
