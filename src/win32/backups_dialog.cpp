#include "win32/backups_dialog.h"

namespace varnel::win32 {

namespace id = backups_id;

void CBackupsDialog::onInit() {
    binding_ = std::make_unique<FormBinding<BackupsForm>>(window(), kBackupsControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CBackupsDialog::onCommand(int controlId, int code, HWND) {
    if (binding_->updating() || code != BN_CLICKED) return;
    switch (controlId) {
    case id::kWriteBack: return window_.writeBackPressed();
    case id::kSaveCopy: return window_.saveCopyPressed();
    case IDOK:  // Enter with no button of its own: the default button, Close
    case id::kClose: return window_.closePressed();
    default: return;
    }
}

bool CBackupsDialog::onClose() {
    window_.closePressed();
    return true;
}

}  // namespace varnel::win32
