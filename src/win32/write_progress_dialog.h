#pragma once

#include <string>

#include "shell/write_progress_window.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The write window over the shell's WriteProgressWindow, which keeps its
// rules: a status line, a progress bar and OK. The task starts once the
// dialog's own loop runs.
class CWriteProgressDialog : public ModalDialog, public DialogHost<ProgressView, CWriteProgressDialog> {
public:
    explicit CWriteProgressDialog(ProgressTask task)
        : ModalDialog(L"WriteProgressDialog"), window_(*this, std::move(task)) {}

    // What the task returned.
    int result() const { return window_.result(); }

    void showNow() override;
    void showBar(int low, int high, int position) override;
    void showStatus(const std::string& text) override;
    void showNote(const std::string& statusAndNote) override;
    void showBusy(bool on) override;
    void setOkEnabled(bool on) override { EnableWindow(GetDlgItem(window(), IDOK), on); }
    void focusOk() override { SetFocus(GetDlgItem(window(), IDOK)); }

private:
    void onInit() override;
    void onPosted(int what) override;
    void onCommand(int id, int code, HWND control) override;
    bool onClose() override;
    void makeRoomForStatus(const std::string& text);

    WriteProgressWindow window_;
    HCURSOR cursor_ = nullptr;  // the one the wait cursor replaced
};

}  // namespace varnel::win32
