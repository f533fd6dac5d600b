#include "shell/diagnostics_window.h"

#include "session/session.h"

namespace varnel {

DiagnosticsWindow::DiagnosticsWindow(AppContext& context, DiagnosticsView& view, const DiagnosticsSettings& settings)
    : view_(view), diag_(*context.session.port, context.session.target.kind, context.session.metric),
      settings_(settings) {}

void DiagnosticsWindow::start() {
    startDiagnostics(form_, diag_, settings_);
    view_.showForm(form_);
    view_.startTimer(kPollTimer, kPollMs);
}

void DiagnosticsWindow::whenIdle(std::function<void()> action, bool droppable) {
    if (busy_) {
        if (!droppable) waiting_.push_back(std::move(action));
        return;
    }
    busy_ = true;
    action();
    while (!waiting_.empty()) {
        auto next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    busy_ = false;
}

void DiagnosticsWindow::controlChanged(int controlId) {
    if (finished_) return;
    // The widgets are read at once, so a reading shown meanwhile cannot undo
    // the click; the bytes go out when the line is free.
    view_.readForm(form_);
    whenIdle([this, controlId] {
        if (finished_) return;
        diagnosticsControlChanged(form_, diag_, controlId);
        view_.showForm(form_);
    });
}

void DiagnosticsWindow::timerTicked(int id) {
    if (id != kPollTimer) return;
    whenIdle(
        [this] {
            if (!finished_ && pollDiagnostics(form_, diag_)) view_.showForm(form_);
        },
        true);
}

void DiagnosticsWindow::closeRequested(int result) {
    whenIdle([this, result] {
        if (finished_) return;
        view_.stopTimer(kPollTimer);
        settings_ = finishDiagnostics(diag_, settings_);
        finished_ = true;
        view_.end(result);
    });
}

}  // namespace varnel
