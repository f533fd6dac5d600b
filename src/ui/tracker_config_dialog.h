#pragma once

#include <memory>

#include <QDialog>

#include "shell/tracker_window.h"

class QMenu;

namespace Ui {
class TrackerConfigDialog;
}

namespace varnel {

class TrackerFormBinding;

// The main tracker dialog's widgets over TrackerWindow: the layout
// res/tracker_config_dialog.ui bound to TrackerForm, its signals forwarded.
class CTrackerConfigDialog : public QDialog, public TrackerView {
    Q_OBJECT
public:
    explicit CTrackerConfigDialog(AppContext& context, QWidget* parent = nullptr);
    ~CTrackerConfigDialog() override;

    const TrackerForm& form() { return window_.form(); }
    // The window menu (about box, image export): Qt offers no portable way
    // into the platform's own window menu.
    QMenu* windowMenu() const { return windowMenu_; }

    // Copies the widgets into the form / the form into the widgets.
    void readControls() { readForm(window_.form()); }
    void showControls() { showForm(window_.form()); }

    // TrackerView
    void readForm(TrackerForm& form) override;
    void showForm(const TrackerForm& form) override;
    void showTitle(const std::string& title) override { setWindowTitle(QString::fromStdString(title)); }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void pause(int) override {}
    void end(int result) override { done(result); }
    // Exit, Escape and the window's close button all come here.
    void reject() override { window_.exitRequested(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectControls();
    void buildWindowMenu();

    AppContext& context_;
    std::unique_ptr<Ui::TrackerConfigDialog> ui_;
    std::unique_ptr<TrackerFormBinding> binding_;
    TrackerWindow window_;
    QMenu* windowMenu_ = nullptr;
};

}  // namespace varnel
