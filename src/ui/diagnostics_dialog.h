#pragma once

#include <memory>

#include <QDialog>

#include "shell/diagnostics_window.h"
#include "ui/form_binding.h"
#include "ui/qt_timers.h"

namespace Ui {
class DiagnosticsDialog;
}

namespace varnel {

// The diagnostics window's widgets over DiagnosticsWindow: the layout
// res/diagnostics_dialog.ui bound to DiagnosticsForm, its clicks forwarded,
// the poll a QTimer.
class CDiagnosticsDialog : public QDialog, public DiagnosticsView {
    Q_OBJECT
public:
    // The session's port must be open to a tracker.
    CDiagnosticsDialog(AppContext& context, const DiagnosticsSettings& settings, QWidget* parent = nullptr);
    ~CDiagnosticsDialog() override;

    const DiagnosticsSettings& settings() const { return window_.settings(); }
    const DiagnosticsForm& form() { return window_.form(); }
    QTimer& pollTimer() { return timers_.timer(DiagnosticsWindow::kPollTimer); }

    void done(int result) override { window_.closeRequested(result); }

    // DiagnosticsView
    void readForm(DiagnosticsForm& form) override { binding_->fromWidgets(form); }
    void showForm(const DiagnosticsForm& form) override;
    void startTimer(int id, int intervalMs) override { timers_.start(id, intervalMs); }
    void stopTimer(int id) override { timers_.stop(id); }
    void pause(int ms) override { QtTimers::pause(ms); }
    void end(int result) override { QDialog::done(result); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();

    std::unique_ptr<Ui::DiagnosticsDialog> ui_;
    std::unique_ptr<FormBinding<DiagnosticsForm>> binding_;
    DiagnosticsWindow window_;
    QtTimers timers_;
};

// Shows the dialog modally with what the opener hands in, and puts back
// into `settings` what the dialog ends with, whatever its result (a gain is
// handed back only when one was handed in). Returns the dialog's result.
int runDiagnosticsDialog(AppContext& context, QWidget* parent, DiagnosticsSettings& settings);

}  // namespace varnel
