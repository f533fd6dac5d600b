#pragma once

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include <QDialog>

#include "ui/app_context.h"
#include "ui/port_slots.h"

class QRadioButton;
class QTimer;

namespace Ui {
class ConnectDialog;
}

namespace varnel {

// Picks the port and connects to the tracker through its bootloader, or
// loads a configuration file to work without one. Accepted when connected or
// when a file was loaded; rejected on Cancel or a tracker of the wrong kind.
// A port that appears while the dialog is open (a tracker being plugged in)
// is tried by itself.
class CConnectDialog : public QDialog {
    Q_OBJECT
public:
    using PortQuery = std::function<std::vector<PortSlot>()>;

    // extraPath: a device given with --port, shown first and chosen. query:
    // the presence query (the system's serial devices by default).
    CConnectDialog(AppContext& context, const QString& extraPath = QString(),
                   PortQuery query = {}, QWidget* parent = nullptr);
    ~CConnectDialog() override;

    // The slot number (1-based) checked, 0 when a typed path is used.
    int chosenSlot() const;
    QString chosenPath() const;
    QString statusText() const;
    bool connectEnabled() const;
    bool attemptRunning() const { return attempting_; }

    void setPortWatchInterval(int ms);

public slots:
    void onConnect();
    void onCancel();
    void onOffline();
    void onPortWatchTick();
    void reject() override;  // the window's close button counts as Cancel

private:
    void fillSlots();
    // Offers a firmware reload when asked for; then the dialog is done.
    void finishConnected();
    // The timer path on one newly present device. True when connected.
    bool tryAppearedPort(const QString& path);
    // An attempt (a click's or the port watch's) or a port-watch pass runs.
    bool busy() const { return attempting_ || watching_; }

    AppContext& context_;
    std::unique_ptr<Ui::ConnectDialog> ui_;
    QString extraPath_;
    PortQuery query_;
    std::vector<PortSlot> slots_;
    std::vector<QRadioButton*> buttons_;
    std::set<QString> present_;  // devices present at the last tick
    QTimer* watch_ = nullptr;
    bool attempting_ = false;
    bool watching_ = false;
    bool closing_ = false;
};

}  // namespace varnel
