#pragma once

#include <string>

#include "link/write_progress.h"
#include "shell/front_end.h"

namespace varnel {

// The progress window as its behaviour sees it: a status line, a bar and OK.
class ProgressView : public WindowHost {
public:
    // Shows the window and lets it paint, now.
    virtual void showNow() = 0;
    // The bar from low to high, filled up to position.
    virtual void showBar(int low, int high, int position) = 0;
    virtual void showStatus(const std::string& text) = 0;
    // The final status with the note under it; the window makes room for it.
    virtual void showNote(const std::string& statusAndNote) = 0;
    // The wait cursor while the task runs. Turned off while the task still
    // counts as running: a window that handles the user's events only on
    // its turns handles them then, and a close asked for during the task is
    // turned away rather than kept for its end.
    virtual void showBusy(bool on) = 0;
    virtual void setOkEnabled(bool on) = 0;
    virtual void focusOk() = 0;
};

// The write window's rules, for every front end: it is up and painted before
// the task's first byte goes out, OK stays disabled and nothing closes it
// while the task runs; then the note goes under the final status, OK is
// enabled and takes the focus, and OK, Escape or the close button close it.
//
// Built for any long task: one that can stop safely (a .bin export, the read
// after Connect, a release list being fetched) gets a Cancel by adding a
// cancelPressed() here that asks the task to stop, and a Cancel button to
// the view; the rules above stay as they are.
class WriteProgressWindow : public WriteProgress {
public:
    WriteProgressWindow(ProgressView& view, ProgressTask task) : view_(view), task_(std::move(task)) {}

    // The window is up: runs the task under it, then waits for OK.
    void start();
    void okPressed() { closeRequested(); }
    // Escape or the window's close button.
    void closeRequested();

    bool running() const { return running_; }
    // What the task returned.
    int result() const { return result_; }

    void setRange(int low, int high) override;
    void setPosition(int position) override { view_.showBar(low_, high_, position); }
    void setStatus(const std::string& text) override;
    // The note stays under every status from then on, the final one too.
    void setNote(const std::string& text) override;

private:
    ProgressView& view_;
    ProgressTask task_;
    std::string status_;  // as shown, with the note under it
    std::string note_;
    int low_ = 0, high_ = 100;
    int result_ = -1;
    bool running_ = false;
    bool ended_ = false;
};

}  // namespace varnel
