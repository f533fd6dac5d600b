#include "web/write_progress_dialog.h"

namespace varnel::web {

void CWriteProgressDialog::showRange(int low, int high) {
    low_ = low;
    high_ = high;
    page::setProgress(token(), "progressBar", low_, high_, low_);
}

void CWriteProgressDialog::showPosition(int position) {
    page::setProgress(token(), "progressBar", low_, high_, position);
    // Painted as it moves, as a window's bar is.
    page::yieldTurn();
}

void CWriteProgressDialog::showStatus(const std::string& text) {
    page::setText(token(), "statusLabel", text);
    page::yieldTurn();
}

}  // namespace varnel::web
