#pragma once

#include <memory>

#include <QDialog>

#include "shell/backups_window.h"
#include "ui/form_binding.h"

namespace Ui {
class BackupsDialog;
}

namespace varnel {

// The Backups window's widgets over BackupsWindow: res/backups_dialog.ui
// bound to BackupsForm, its buttons forwarded. Ends with Accepted when a
// backup was written back.
class CBackupsDialog : public QDialog, public BackupsView {
    Q_OBJECT
public:
    CBackupsDialog(AppContext& context, QWidget* parent = nullptr);
    ~CBackupsDialog() override;

    const BackupsWindow& window() const { return window_; }

    // Close, Escape and the close button all go to the window's Close.
    void done(int) override { window_.closePressed(); }

    // BackupsView
    void readForm(BackupsForm& form) override { binding_->fromWidgets(form); }
    void showForm(const BackupsForm& form) override { binding_->toWidgets(form); }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void pause(int ms) override;
    void end(int result) override { QDialog::done(result); }

private:
    std::unique_ptr<Ui::BackupsDialog> ui_;
    std::unique_ptr<FormBinding<BackupsForm>> binding_;
    BackupsWindow window_;
};

}  // namespace varnel
