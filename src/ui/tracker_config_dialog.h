#pragma once

#include <memory>

#include <QDialog>

#include "forms/tracker/tracker_form.h"
#include "ui/app_context.h"

class QMenu;

namespace Ui {
class TrackerConfigDialog;
}

namespace varnel {

class TrackerFormBinding;

// The main tracker dialog: the two profiles of a tracker under two tabs, the
// commands that write them, save and load them, and put new firmware on the
// tracker. A view over TrackerForm; every rule is the form's. Ends with
// kResultReconnect after new firmware was written or when an offline Write
// connected a tracker.
class CTrackerConfigDialog : public QDialog {
    Q_OBJECT
public:
    explicit CTrackerConfigDialog(AppContext& context, QWidget* parent = nullptr);
    ~CTrackerConfigDialog() override;

    const TrackerForm& form() const { return form_; }
    // The window menu (about box, image export): Qt offers no portable way
    // into the platform's own window menu.
    QMenu* windowMenu() const { return windowMenu_; }

    // Copies the widgets into the form / the form into the widgets.
    void readControls();
    void showControls();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectControls();
    void buildWindowMenu();

    void onControlChanged(int controlId);
    void onTabChanged(int tab);
    void onUnitsChosen(bool metric);
    void onWrite();
    void onCopyOtherProfile();
    void onSmartBeaconing();
    void onSaveFile();
    void onLoadFile();
    void onFirmwareFromFile();
    void onFirmwareFromNetwork();
    void onDiagnostics();
    int checkAndStoreControls();

    AppContext& context_;
    std::unique_ptr<Ui::TrackerConfigDialog> ui_;
    std::unique_ptr<TrackerFormBinding> binding_;
    TrackerForm form_;
    QMenu* windowMenu_ = nullptr;
};

}  // namespace varnel
