#pragma once

#include <memory>
#include <string>

#include <QDialog>

#include "shell/write_progress_window.h"

namespace Ui {
class WriteProgressDialog;
}

namespace varnel {

// The write window's widgets over WriteProgressWindow, which keeps its
// rules: res/write_progress_dialog.ui, a status line, a bar and OK.
class CWriteProgressDialog : public QDialog, public ProgressView {
    Q_OBJECT
public:
    explicit CWriteProgressDialog(ProgressTask task, QWidget* parent = nullptr);
    ~CWriteProgressDialog() override;

    // Runs the task under the window (shown by then); exec() then waits for OK.
    void start() { window_.start(); }
    int result() const { return window_.result(); }

    QString statusText() const;
    int progressValue() const;
    int progressMaximum() const;
    bool okEnabled() const;

    // ProgressView
    void showNow() override;
    void showBar(int low, int high, int position) override;
    void showStatus(const std::string& text) override;
    void showNote(const std::string& statusAndNote) override;
    void showBusy(bool on) override;
    void setOkEnabled(bool on) override;
    void focusOk() override;
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void pause(int) override {}
    void end(int result) override { done(result); }
    // Escape and the window's close button.
    void reject() override { window_.closeRequested(); }

private:
    std::unique_ptr<Ui::WriteProgressDialog> ui_;
    WriteProgressWindow window_;
};

}  // namespace varnel
