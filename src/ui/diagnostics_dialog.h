#pragma once

#include <deque>
#include <functional>
#include <memory>

#include <QDialog>

#include "forms/diagnostics/diagnostics_form.h"
#include "link/diagnostics_session.h"
#include "ui/app_context.h"
#include "ui/form_binding.h"

class QTimer;

namespace Ui {
class DiagnosticsDialog;
}

namespace varnel {

// The adjustment and diagnostics window over the connected tracker: LEDs,
// power output, test tones, transmit audio level and the live sensor
// readings. Opening it sends the tracker's opening sequence; closing it, by
// OK or otherwise, sends the closing sequence. A view over DiagnosticsForm.
class CDiagnosticsDialog : public QDialog {
    Q_OBJECT
public:
    // The session's port must be open to a tracker.
    CDiagnosticsDialog(AppContext& context, const DiagnosticsSettings& settings, QWidget* parent = nullptr);
    ~CDiagnosticsDialog() override;

    // What goes back to the opener once the dialog has closed.
    const DiagnosticsSettings& settings() const { return settings_; }
    const DiagnosticsForm& form() const { return form_; }
    QTimer& pollTimer() const { return *pollTimer_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void onControlChanged(int controlId);
    void onPoll();
    void showControls();
    // Runs what talks to the tracker one at a time: a click that arrives
    // while the interface is kept alive during a reply waits its turn; a
    // poll that finds the line busy is dropped, so polls never pile up.
    void whenIdle(std::function<void()> action, bool droppable = false);

    AppContext& context_;
    std::unique_ptr<Ui::DiagnosticsDialog> ui_;
    std::unique_ptr<FormBinding<DiagnosticsForm>> binding_;
    DiagnosticsForm form_;
    DiagnosticsSession diag_;
    DiagnosticsSettings settings_;
    QTimer* pollTimer_ = nullptr;
    std::deque<std::function<void()>> waiting_;
    bool busy_ = false;
    bool finished_ = false;
};

// Shows the dialog modally with what the opener hands in, and puts back
// into `settings` what the dialog ends with, whatever its result (a gain is
// handed back only when one was handed in). Returns the dialog's result.
int runDiagnosticsDialog(AppContext& context, QWidget* parent, DiagnosticsSettings& settings);

}  // namespace varnel
