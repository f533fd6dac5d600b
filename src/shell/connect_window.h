#pragma once

#include <set>
#include <string>
#include <vector>

#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

// What the user has chosen in the connect window when an event arrives.
struct ConnectChoice {
    int slot = 0;               // 1-based, 0 when none is checked
    std::string typedPath;      // the path typed instead of a slot, as typed
    bool slowLink = false;      // "slow link": the fast link is not tried
    bool reloadFirmware = false;
};

// The connect window as its behaviour sees it.
class ConnectView : public WindowHost {
public:
    virtual void showSlots(const std::vector<PortSlot>& ports) = 0;
    virtual void showChoice(int slot, bool slowLink) = 0;  // slot 0: none checked
    virtual void clearTypedPath() = 0;
    virtual ConnectChoice choice() const = 0;
    virtual void setStatus(const std::string& text) = 0;
    virtual void setConnectEnabled(bool on) = 0;
    virtual void setOfflineEnabled(bool on) = 0;
    // The "Add port..." button, shown only where the platform can grant ports.
    virtual void showAddPort(bool on) = 0;
    // The box to type a device path into, shown only where ports are paths.
    virtual void showTypedPath(bool on) = 0;
};

// Picks the port and connects to the tracker through its bootloader, or
// loads a configuration file to work without one. Ends accepted when
// connected or when a file was loaded; rejected on Cancel or a tracker of the
// wrong kind. A port that appears while the window is open (a tracker being
// plugged in) is tried by itself.
class ConnectWindow {
public:
    static constexpr int kPortWatchTimer = 1;
    static constexpr int kPortWatchMs = 500;
    // A port that has just appeared belongs to a device still starting up.
    static constexpr int kAppearSettleMs = 300;
    // Only these first slots are watched for a tracker being plugged in.
    static constexpr int kWatchedPortSlots = 12;
    // A Connect that has heard nothing for this long says what to check: a
    // tracker that never answers is otherwise tried for ever in silence.
    static constexpr int kHintTimer = 2;
    static constexpr int kHintAfterMs = 10000;

    // extraPath: a device given with --port, offered first and chosen.
    // query: the ports present now; by default this platform's slots
    // (shell/port_slots.h).
    ConnectWindow(AppContext& context, ConnectView& view, std::string extraPath, PortQuery query = {});

    // The window is up: slots, the remembered choice, the port watch.
    void start();

    void connectPressed();
    void cancelPressed();
    void closeRequested();  // Escape or the window's close button
    void offlinePressed();
    void addPortPressed();  // "Add port...": the platform's chooser, then that port chosen
    void timerTicked(int id);
    void pathTyped(const std::string& text);  // a typed path unchecks the slots
    void slotChosen();                        // a slot clears the typed path

    void setPortWatchInterval(int ms);
    bool attemptRunning() const { return attempting_; }
    // The device the current choice names, "" for none.
    std::string chosenPath() const;

private:
    // Offers a firmware reload when asked for; then the window is done.
    void finishConnected();
    // The timer path on one newly present device. True when connected.
    bool tryAppearedPort(const std::string& path);
    // An attempt (a click's or the port watch's) or a port-watch pass runs.
    bool busy() const { return attempting_ || watching_; }
    void setConnectEnabled(bool on);
    // An attempt ended without a tracker: its status no longer holds.
    void attemptFailed();

    AppContext& context_;
    ConnectView& view_;
    std::string extraPath_;
    PortQuery query_;
    std::vector<PortSlot> slots_;
    std::set<std::string> present_;  // devices present at the last tick
    std::string attemptPort_;        // what the running Connect opens
    bool connectEnabled_ = true;
    bool attempting_ = false;
    bool watching_ = false;
    bool closing_ = false;
};

}  // namespace varnel
