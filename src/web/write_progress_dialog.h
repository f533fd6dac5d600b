#pragma once

#include <functional>
#include <string>

#include "link/write_progress.h"
#include "web/page_window.h"

namespace varnel::web {

// The write window: up before the write starts, its bar and status the
// write's progress; OK closes it once the write has ended.
class CWriteProgressDialog : public PageWindow, public WriteProgress {
public:
    CWriteProgressDialog(PageLoop& loop, std::function<int(WriteProgress&)> write,
                         std::function<std::string(int)> noteFor)
        : PageWindow(loop, "WriteProgressDialog"), write_(std::move(write)), noteFor_(std::move(noteFor)) {}
    int result() const { return result_; }

    void setRange(int low, int high) override;
    void setPosition(int position) override;
    void setStatus(const std::string& text) override;

private:
    void onOpen() override;
    void onClick(const std::string& name) override;
    void onClose() override {
        if (!running_) end(kResultAccepted);
    }

    std::function<int(WriteProgress&)> write_;
    std::function<std::string(int)> noteFor_;
    std::string status_;
    int low_ = 0, high_ = 100;
    int result_ = 0;
    bool running_ = false;
};

}  // namespace varnel::web
