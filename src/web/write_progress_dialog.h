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

    // The page paints on its turn; what the user did meanwhile is handled
    // then too (a close asked for while the task runs is turned away, not
    // kept for its end).
    void showNow() override { loop().pump(); }
    void showBar(int low, int high, int position) override;
    void showStatus(const std::string& text) override;
    void showNote(const std::string& statusAndNote) override { showStatus(statusAndNote); }
    // No cursor of its own; the page's turn, with what the user did meanwhile.
    void showBusy(bool on) override {
        if (!on) loop().pump();
    }
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
