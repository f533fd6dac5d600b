#include "web/write_progress_dialog.h"

namespace varnel::web {

void CWriteProgressDialog::onOpen() {
    // The user watches the whole write: the window is painted first.
    page::yieldTurn();
    running_ = true;
    result_ = write_(*this);
    running_ = false;
    const std::string note = noteFor_ ? noteFor_(result_) : std::string();
    if (!note.empty()) setStatus(status_ + "\n" + note);
    page::setEnabled(token(), "okButton", true);
    page::focus(token(), "okButton");
}

void CWriteProgressDialog::onClick(const std::string& name) {
    if (name == "okButton" && !running_) end(kResultAccepted);
}

void CWriteProgressDialog::setRange(int low, int high) {
    low_ = low;
    high_ = high;
    page::setProgress(token(), "progressBar", low_, high_, low_);
}

void CWriteProgressDialog::setPosition(int position) {
    page::setProgress(token(), "progressBar", low_, high_, position);
    // Painted as it moves, as a window's bar is.
    page::yieldTurn();
}

void CWriteProgressDialog::setStatus(const std::string& text) {
    status_ = text;
    page::setText(token(), "statusLabel", text);
    page::yieldTurn();
}

}  // namespace varnel::web
