#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "serial/connection_doctor.h"
#include "serial/port_resolver.h"

namespace varnel {

// What a front end (the Qt windows, the native Windows dialogs, a test's
// script) implements so that the shell can run the program through it. Only
// plain C++ types cross here: a front end owns its widgets and forwards their
// events to the window behaviours of src/shell, which answer through these.

struct AppContext;
struct DiagnosticsSettings;
class WriteProgress;

// What the progress window runs (shell/write_progress_window.h): a long
// operation that reports through WriteProgress and returns 0 or a failure,
// and the note that goes under its final status for that result ("" for
// none). Today it is always a write to the tracker.
struct ProgressTask {
    std::function<int(WriteProgress&)> run;
    std::function<std::string(int)> noteFor;
};

// How a modal window ended, as its front end reports it. A configuration
// dialog that ends with kResultReconnect asks the dialog loop to read the
// device again and show the matching dialog again (new firmware, or a
// reconnect).
inline constexpr int kResultRejected = 0;
inline constexpr int kResultAccepted = 1;
inline constexpr int kResultReconnect = 99;

// One port the connect window offers (shell/port_slots.h makes them).
struct PortSlot {
    std::string path;     // what is opened
    std::string label;    // what the radio button says
    std::string tooltip;  // description and USB VID:PID, when known
    bool present = true;  // a COM slot without a port behind it is not
};

inline constexpr int kMaxPortSlots = 16;
using PortQuery = std::function<std::vector<PortSlot>()>;

// The file dialogs. filter in the common form "Configuration Files (*.cfg)",
// suffix without its dot. An empty result means the user cancelled. Saving
// replaces a file without asking, as the tracker tools always have; `name`
// is the file name offered to start with ("" for none).
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::string openFile(const std::string& filter, const std::string& suffix) = 0;
    virtual std::string saveFile(const std::string& filter, const std::string& suffix,
                                 const std::string& name = {}) = 0;
};

// Where the release lists and the firmware files are served from when the
// settings name no other server. A firmware server answers
// /support/firmware/<chip>/list.txt; a mirror serves the files.
inline constexpr const char* kDefaultFirmwareServer = "www.brenvale.com";
inline constexpr const char* kDefaultMirrorServer = "files.brenvale.com";

// The program's persistent settings, the "Settings" key of the tracker
// tools: read and written where the windows need them, never cached.
class AppSettings {
public:
    virtual ~AppSettings() = default;
    virtual int port() const = 0;  // "Port", slot 1..16, default 1
    virtual void setPort(int slot) = 0;
    virtual std::string portName() const = 0;  // "PortName": the device behind "Port", "" if none
    virtual void setPortName(const std::string& path) = 0;
    virtual bool turbo() const = 0;  // "Turbo", default on: fast link allowed
    virtual void setTurbo(bool on) = 0;
    virtual bool metric() const = 0;  // "Metric", default on
    virtual void setMetric(bool on) = 0;
};

// The modal windows one window opens over itself, each run until it closes.
// A front end builds its own window over the matching behaviour of src/shell
// and returns how it ended (kResultAccepted, kResultRejected, or the
// window's own result).
enum class WindowKind {
    Tracker,           // the main dialog, families 0 and 2
    Weather,           // family 1
    FirmwareInit,      // blank or unknown firmware, or a reload asked for
    FirmwareDownload,  // the release list; accepted once the firmware is in the image
    ScriptEditor,
    SmartBeacon,
    Frequency,
    StatusText,
    AccessList,
    Digipeater,
    ProfileSwitch,
    About,
    Backups,  // the backups kept before every write; accepted when one was written back
};

class Windows {
public:
    virtual ~Windows() = default;
    virtual int run(WindowKind kind, AppContext& context) = 0;
    // extraPath: a device given with --port, offered first and chosen.
    virtual int runConnect(AppContext& context, const std::string& extraPath) = 0;
    // What the opener hands in comes back changed, however the window closed.
    virtual int runDiagnostics(AppContext& context, DiagnosticsSettings& settings) = 0;
    // A code or patch listing under its title ("Code listing").
    virtual void runListing(AppContext& context, const std::string& title, const std::string& text) = 0;
    // The write window over a WriteProgressWindow running `task`; returns
    // what the task returned.
    virtual int runProgress(const ProgressTask& task) = 0;
    // The serial ports present now: by default the system's list, as
    // `varnelcfg-cli ports` prints it (shell/port_slots.cpp; a test gives
    // its own).
    virtual std::vector<PortDescription> presentPorts();
    // The connection doctor of this platform (serial/connection_doctor.h:
    // Linux's files, Windows' SetupAPI and registry, the page's browser); a
    // test gives its own findings.
    virtual std::vector<DoctorFinding> connectionReport(const std::string& port);
    virtual std::vector<DoctorFinding> portFindings(const std::string& port, bool openedHere);
    // The ports only this front end can offer, offered after the system's
    // (the page's emulated trackers).
    virtual std::vector<PortSlot> ownPorts() { return {}; }
    // Where a program may use only the ports the user grants it (a page in
    // the browser), the platform's chooser that grants one more: the path of
    // the port picked, "" when the user cancelled. A desktop program sees
    // every port already and has no such chooser.
    virtual bool canAddPorts() const { return false; }
    virtual std::string addPort() { return {}; }
};

// What a window's controls report, each by its id in the window's control
// table. A front end forwards its widgets' events here and decides nothing:
// the window's behaviour says what each one means (which button writes,
// which opens a window, which radio button switches the units, which edit
// or slider redraws what).
class ControlEvents {
public:
    virtual ~ControlEvents() = default;
    // A button pressed, a check box clicked, a radio button turned on.
    virtual void clicked(int controlId) = 0;
    // Text typed, a list's choice made, a slider moved (as it moves, not
    // only when let go).
    virtual void edited(int controlId) = 0;
    // The tab control turned to tab `index`.
    virtual void tabChanged(int index) { (void)index; }
};

// What a window behaviour asks of the window that shows it. Timers are by
// id, one window's ids apart from another's; each tick comes back as the
// behaviour's timerTicked(id).
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void startTimer(int id, int intervalMs) = 0;
    virtual void stopTimer(int id) = 0;
    // Keeps the window alive (its events handled) for about ms.
    virtual void pause(int ms) = 0;
    // Closes the window with this result.
    virtual void end(int result) = 0;
};

}  // namespace varnel
