#pragma once

#include <string>

#include "shell/front_end.h"
#include "web/page_bridge.h"
#include "web/page_loop.h"

namespace varnel::web {

// A modal window over the page: one of the generated windows, opened over
// whatever is showing, running until it ends. Timers, pauses and its end are
// the shell's WindowHost; the concrete windows bind controls and forward
// events, nothing more.
class PageWindow : public WindowHost {
public:
    PageWindow(PageLoop& loop, std::string uiName) : loop_(loop), uiName_(std::move(uiName)) {}
    ~PageWindow() override;
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;

    // Opens the window, lets onOpen fill it, and runs until end().
    int run();

    void startTimer(int id, int intervalMs) override { page::startTimer(token_, id, intervalMs); }
    void stopTimer(int id) override { page::stopTimer(token_, id); }
    void pause(int ms) override { loop_.pause(ms); }
    void end(int result) override;

    // An event of this window (PageLoop dispatches it here).
    void handle(const PageEvent& e);

protected:
    int token() const { return token_; }
    PageLoop& loop() { return loop_; }
    void setTitle(const std::string& text) { page::setTitle(token_, text); }

    virtual void onOpen() = 0;
    virtual void onClick(const std::string& name) { (void)name; }
    // An edit typed in, a list's choice, a slider let go.
    virtual void onChange(const std::string& name) { (void)name; }
    // A slider moved, as it moves.
    virtual void onSlide(const std::string& name) { (void)name; }
    virtual void onTab(const std::string& name, int index) { (void)name, (void)index; }
    virtual void onActivate(const std::string& name) { (void)name; }
    virtual void onTimer(int id) { (void)id; }
    // Escape or the close button; by default the window's Cancel.
    virtual void onClose() { end(kResultRejected); }

private:
    PageLoop& loop_;
    std::string uiName_;
    int token_ = 0;
    bool done_ = false;
    int result_ = kResultRejected;
};

}  // namespace varnel::web

namespace varnel::web {

// A page window that is also a shell view (ConnectView, TrackerView...):
// the view's WindowHost half is the page window's.
template <class View>
class PageView : public PageWindow, public View {
public:
    PageView(PageLoop& loop, std::string uiName) : PageWindow(loop, std::move(uiName)) {}
    void startTimer(int id, int intervalMs) override { PageWindow::startTimer(id, intervalMs); }
    void stopTimer(int id) override { PageWindow::stopTimer(id); }
    void pause(int ms) override { PageWindow::pause(ms); }
    void end(int result) override { PageWindow::end(result); }
};

}  // namespace varnel::web
