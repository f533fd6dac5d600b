#include "web/write_progress_dialog.h"

namespace varnel::web {

void CWriteProgressDialog::showBar(int low, int high, int position) {
    page::setProgress(token(), "progressBar", low, high, position);
    // Painted as it moves, as a window's bar is.
    loop().pump();
}

void CWriteProgressDialog::showStatus(const std::string& text) {
    page::setText(token(), "statusLabel", text);
    loop().pump();
}

}  // namespace varnel::web
