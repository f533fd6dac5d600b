#pragma once

#include <functional>
#include <string>

#include "link/write_progress.h"
#include "win32/modal_dialog.h"

namespace varnel {
class UserInterface;
}

namespace varnel::win32 {

// The window a write runs under: its status text and progress bar are a
// WriteProgress view. It appears (modal, painted) before the write starts,
// keeps OK disabled while it runs, then shows `note` under the final status
// and waits for OK.
class CWriteProgressDialog : public ModalDialog, public WriteProgress {
public:
    CWriteProgressDialog(std::function<int(WriteProgress&)> write, std::function<std::string(int)> noteFor);

    // What the write returned.
    int result() const { return result_; }

    void setRange(int low, int high) override;
    void setPosition(int position) override;
    void setStatus(const std::string& text) override;

private:
    void onInit() override;
    void onPosted(int what) override;
    void onCommand(int id, int code, HWND control) override;
    void makeRoomForStatus();

    std::function<int(WriteProgress&)> write_;
    std::function<std::string(int)> noteFor_;
    std::string status_;
    int result_ = -1;
    bool running_ = false;
};

}  // namespace varnel::win32
