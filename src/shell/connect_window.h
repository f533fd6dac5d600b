#pragma once

#include <set>
#include <string>
#include <vector>

#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

// What the user has chosen in the connect window when an event arrives.
struct ConnectChoice {
    int slot = 0;           // 1-based, 0 when none is checked
    std::string typedPath;  // the path typed instead of a slot, as typed
    bool slowLink = false;  // "slow link": the fast link is not tried
    bool reloadFirmware = false;
};

// Which of the connect window's buttons work and which rows show.
struct ConnectControls {
    bool connectEnabled = true;
    bool offlineEnabled = true;
    bool addPortShown = false;    // only where the platform can grant ports
    bool typedPathShown = false;  // only where ports are device paths
    bool helpEnabled = true;      // "Connection help...": not while an attempt holds the port
};

// The connect window as its behaviour sees it.
class ConnectView : public WindowHost {
public:
    virtual void showSlots(const std::vector<PortSlot>& ports) = 0;
    // Slot n checked (0: none), the typed path (an edit box left alone when
    // it already holds this text), the slow-link box.
    virtual void showChoice(int slot, const std::string& typedPath, bool slowLink) = 0;
    virtual ConnectChoice choice() const = 0;
    virtual void setStatus(const std::string& text) = 0;
    virtual void showControls(const ConnectControls& controls) = 0;
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
    void helpPressed();     // "Connection help...": the connection doctor's whole report
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
    void setOfflineEnabled(bool on);
    // An attempt ended without a tracker: its status no longer holds.
    void attemptFailed();
    // The status between attempts, with what stands in the way of every
    // port (a page without Web Serial).
    std::string idleStatus() const;

    AppContext& context_;
    ConnectView& view_;
    std::string extraPath_;
    PortQuery query_;
    std::vector<PortSlot> slots_;
    std::set<std::string> present_;  // devices present at the last tick
    std::string attemptPort_;        // what the running Connect opens
    std::string platformNote_;       // the doctor's findings for no port in particular
    ConnectControls controls_;
    bool attempting_ = false;
    bool watching_ = false;
    bool closing_ = false;
};

}  // namespace varnel
