#pragma once

#include <functional>
#include <map>
#include <string>

#include "web/page_bridge.h"

namespace varnel::web {

class PageWindow;

// The one event queue of the page, which C++ awaits the way a Win32 modal
// loop pumps its messages. Each open window is registered by its page
// token; an event goes to the window it belongs to, whichever window's loop
// is waiting (a timer of the main window still ticks under a dialog).
// Owned by main and handed to every window.
class PageLoop {
public:
    void attach(int token, PageWindow& window) { windows_[token] = &window; }
    void detach(int token) { windows_.erase(token); }

    // Waits for events and dispatches them until `done` is set.
    void runUntil(const bool& done);
    // Gives the browser its turn, then dispatches what it queued.
    void pump();
    // Keeps the windows alive for about ms.
    void pause(int ms);
    // A message box: "OK", "Yes|No" or three answers, the button at
    // `byDefault` focused (Enter presses it); returns the button's index once
    // the user pressed it, dispatching other events meanwhile.
    int ask(const std::string& text, const std::string& buttons, int byDefault = 0);
    // Runs whenever the program has handled what it was doing and waits for
    // the user again (a saved file is offered as a download then).
    void setIdleHandler(std::function<void()> idle) { idle_ = std::move(idle); }

private:
    PageEvent next();
    void dispatch(const PageEvent& e);
    std::map<int, PageWindow*> windows_;
    std::function<void()> idle_;
};

}  // namespace varnel::web
