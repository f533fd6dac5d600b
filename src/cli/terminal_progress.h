#pragma once

#include <string>

#include "link/write_progress.h"

namespace varnel::cli {

// The write's progress as one redrawn line on standard error, drawn only
// when standard error is a terminal (a log file gets the messages alone).
class TerminalProgress : public WriteProgress {
public:
    TerminalProgress();
    ~TerminalProgress() override;
    void setRange(int low, int high) override;
    void setPosition(int position) override;
    void setStatus(const std::string& text) override;
    // A line of its own on standard error, terminal or not.
    void setNote(const std::string& text) override;

private:
    void draw();

    bool enabled_;
    bool drawn_ = false;
    int low_ = 0, high_ = 100, position_ = 0;
    std::string status_;
};

// Whether standard error is a terminal: the bar redraws its line with
// carriage returns, which only a terminal shows as intended. One per
// platform (posix_terminal.cpp, win32_terminal.cpp).
bool stderrIsTerminal();

}  // namespace varnel::cli
