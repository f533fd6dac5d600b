#pragma once

#include <deque>
#include <functional>

#include "forms/diagnostics/diagnostics_form.h"
#include "link/diagnostics_session.h"
#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

class DiagnosticsView : public WindowHost {
public:
    virtual void readForm(DiagnosticsForm& form) = 0;
    virtual void showForm(const DiagnosticsForm& form) = 0;
};

// The adjustment and diagnostics window over the connected tracker: LEDs,
// power output, test tones, transmit audio level and the live sensor
// readings polled every 250 ms. Opening it sends the tracker's opening
// sequence; closing it, by OK or otherwise, sends the closing sequence.
class DiagnosticsWindow {
public:
    static constexpr int kPollTimer = 1;
    static constexpr int kPollMs = 250;

    // The session's port must be open to a tracker.
    DiagnosticsWindow(AppContext& context, DiagnosticsView& view, const DiagnosticsSettings& settings);

    DiagnosticsForm& form() { return form_; }
    // The opening sequence, the first readings, the poll.
    void start();

    void controlChanged(int controlId);
    void timerTicked(int id);
    // OK, Escape or the close button: nothing is left switched on or playing.
    void closeRequested(int result);

    // What goes back to the opener once the window has closed.
    const DiagnosticsSettings& settings() const { return settings_; }

private:
    // Runs what talks to the tracker one at a time: a click that arrives
    // while the interface is kept alive during a reply waits its turn; a
    // poll that finds the line busy is dropped, so polls never pile up.
    void whenIdle(std::function<void()> action, bool droppable = false);

    DiagnosticsView& view_;
    DiagnosticsForm form_;
    DiagnosticsSession diag_;
    DiagnosticsSettings settings_;
    std::deque<std::function<void()>> waiting_;
    bool busy_ = false;
    bool finished_ = false;
};

}  // namespace varnel
