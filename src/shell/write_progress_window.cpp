#include "shell/write_progress_window.h"

namespace varnel {

void WriteProgressWindow::start() {
    view_.setOkEnabled(false);
    // The user watches the whole task: the window is painted first.
    view_.showNow();
    running_ = true;
    view_.showBusy(true);
    result_ = task_.run(*this);
    view_.showBusy(false);  // still running: see ProgressView::showBusy
    running_ = false;
    const std::string note = task_.noteFor ? task_.noteFor(result_) : std::string();
    if (!note.empty()) view_.showNote(status_ + "\n" + note);
    view_.setOkEnabled(true);
    view_.focusOk();
    // Closing is for once the note and OK are there.
    ended_ = true;
}

void WriteProgressWindow::closeRequested() {
    if (ended_) view_.end(kResultAccepted);
}

void WriteProgressWindow::setRange(int low, int high) {
    low_ = low;
    high_ = high;
    view_.showBar(low, high, low);
}

void WriteProgressWindow::setStatus(const std::string& text) {
    status_ = note_.empty() ? text : text + "\n" + note_;
    view_.showStatus(status_);
}

void WriteProgressWindow::setNote(const std::string& text) {
    const std::string status = status_.substr(0, status_.find('\n'));
    note_ = text;
    setStatus(status);
}

}  // namespace varnel
