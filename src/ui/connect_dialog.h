#pragma once

#include <memory>
#include <vector>

#include <QDialog>

#include "shell/connect_window.h"
#include "ui/qt_timers.h"

class QRadioButton;

namespace Ui {
class ConnectDialog;
}

namespace varnel {

// The connect window's widgets over ConnectWindow, which decides everything:
// res/connect_dialog.ui, a radio button per port slot, one QTimer per timer id.
class CConnectDialog : public QDialog, public ConnectView {
    Q_OBJECT
public:
    using PortQuery = varnel::PortQuery;

    // extraPath: a device given with --port, shown first and chosen. query:
    // the ports present (by default the shell's slots of this platform).
    CConnectDialog(AppContext& context, const QString& extraPath = QString(), PortQuery query = {},
                   QWidget* parent = nullptr);
    ~CConnectDialog() override;

    // The slot number (1-based) checked, 0 when a typed path is used.
    int chosenSlot() const;
    QString chosenPath() const { return QString::fromStdString(window_.chosenPath()); }
    QString statusText() const;
    bool connectEnabled() const;
    bool attemptRunning() const { return window_.attemptRunning(); }
    void setPortWatchInterval(int ms) { window_.setPortWatchInterval(ms); }

    void onConnect() { window_.connectPressed(); }
    void onCancel() { window_.cancelPressed(); }
    void onOffline() { window_.offlinePressed(); }
    void onAddPort() { window_.addPortPressed(); }
    void onHelp() { window_.helpPressed(); }
    void onPortWatchTick() { window_.timerTicked(ConnectWindow::kPortWatchTimer); }
    void reject() override { window_.closeRequested(); }  // Escape and the close button

    // ConnectView
    void showSlots(const std::vector<PortSlot>& ports) override;
    void showChoice(int slot, const std::string& typedPath, bool slowLink) override;
    ConnectChoice choice() const override;
    void setStatus(const std::string& text) override;
    void showControls(const ConnectControls& controls) override;
    void startTimer(int id, int intervalMs) override { timers_.start(id, intervalMs); }
    void stopTimer(int id) override { timers_.stop(id); }
    void pause(int ms) override { QtTimers::pause(ms); }
    void end(int result) override { done(result); }

private:
    std::unique_ptr<Ui::ConnectDialog> ui_;
    ConnectWindow window_;
    QtTimers timers_;
    std::vector<QRadioButton*> buttons_;
};

}  // namespace varnel
