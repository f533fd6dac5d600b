#pragma once

#include <string>

#include "shell/write_progress_window.h"
#include "web/page_window.h"

namespace varnel::web {

// The write window over the shell's WriteProgressWindow, which keeps its
// rules: a status line, a bar and OK.
class CWriteProgressDialog : public PageView<ProgressView> {
public:
    CWriteProgressDialog(PageLoop& loop, ProgressTask task)
        : PageView(loop, "WriteProgressDialog"), window_(*this, std::move(task)) {}
    int result() const { return window_.result(); }

    void showNow() override { page::yieldTurn(); }
    void showBar(int low, int high, int position) override;
    void showStatus(const std::string& text) override;
    void showNote(const std::string& statusAndNote) override { showStatus(statusAndNote); }
    void showBusy(bool) override {}
    void setOkEnabled(bool on) override { page::setEnabled(token(), "okButton", on); }
    void focusOk() override { page::focus(token(), "okButton"); }

private:
    void onOpen() override { window_.start(); }
    void onClick(const std::string& name) override {
        if (name == "okButton") window_.okPressed();
    }
    void onClose() override { window_.closeRequested(); }

    WriteProgressWindow window_;
};

}  // namespace varnel::web
