#include "shell/connect_window.h"

#include <algorithm>

#include "config/device_target.h"
#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/boot_protocol.h"
#include "link/connector.h"
#include "serial/serial_messages.h"
#include "session/config_file.h"
#include "session/session.h"
#include "shell/port_slots.h"

namespace varnel {

namespace {

constexpr const char* kIdleText = "Choose the port the tracker is connected to, then press Connect.";
constexpr const char* kReadyText = "Ready to connect.  Please reset tracker now.";
constexpr const char* kNoDeviceText =
    "No serial device was found. Plug the tracker's cable in, or type the device path.";
constexpr const char* kConfigFilter = "Configuration Files (*.cfg)";
constexpr const char* kHelpTitle = "Connection help";
constexpr const char* kDoctorFound = "The connection doctor found:";

// The findings as the connect window says them: one sentence a line.
std::string findingLines(const std::vector<DoctorFinding>& findings) {
    std::string text;
    for (const DoctorFinding& f : findings) text += (text.empty() ? "" : "\n") + f.sentence();
    return text;
}

// Adds what the connection doctor finds of the port to "Can't open serial
// port": the port layer knows only that the open failed, the user needs to
// know what to do about it. Everything else passes through unchanged.
class DoctorUi : public UserInterface {
public:
    DoctorUi(UserInterface& inner, Windows& windows, std::string port)
        : inner_(inner), windows_(windows), port_(std::move(port)) {}
    void message(const std::string& text, MessageKind kind = MessageKind::Warning) override {
        const std::string lines =
            text == serial_messages::kCantOpen ? findingLines(windows_.portFindings(port_, false)) : "";
        inner_.message(lines.empty() ? text : text + "\n" + lines, kind);
    }
    bool askYesNo(const std::string& text) override { return inner_.askYesNo(text); }
    void pump() override { inner_.pump(); }
    Answer askChoice(const std::string& text, const std::string& first, const std::string& second) override {
        return inner_.askChoice(text, first, second);
    }

private:
    UserInterface& inner_;
    Windows& windows_;
    std::string port_;
};

std::string noAnswerHint(const std::string& port, const std::vector<DoctorFinding>& findings) {
    std::string hint = std::string(kReadyText) + "\n\nNo answer yet on " + port +
                       ". Check that the tracker has power, that its cable is plugged in and that this is its port, "
                       "then reset the tracker (switch it off and on again). Connect keeps trying until Cancel.";
    if (!findings.empty()) hint += "\n\n" + std::string(kDoctorFound) + "\n" + findingLines(findings);
    return hint;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

ConnectWindow::ConnectWindow(AppContext& context, ConnectView& view, std::string extraPath, PortQuery query)
    : context_(context), view_(view), extraPath_(std::move(extraPath)), query_(std::move(query)) {
    if (!query_) query_ = [this] { return portSlots(context_.windows, extraPath_); };
}

void ConnectWindow::start() {
    controls_.typedPathShown = typedPathShown(kPlatformPortNaming);
    controls_.addPortShown = context_.windows.canAddPorts();
    view_.showControls(controls_);
    slots_ = query_();
    view_.showSlots(slots_);
    // What stands in the way of any port at all (a page the browser gives no
    // serial ports) is said from the start, not after a silent Connect.
    std::vector<DoctorFinding> everyPort = context_.windows.portFindings({}, false);
    std::erase_if(everyPort, [](const DoctorFinding& f) { return f.level != FindingLevel::Problem; });
    platformNote_ = findingLines(everyPort);
    view_.setStatus(idleStatus());

    // The port last connected: by its device path if it is still there (the
    // slot numbers of USB adapters move), else by its slot number. A port
    // named on the command line wins.
    int slot = context_.settings.port();
    const std::string saved = context_.settings.portName();
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (!saved.empty() && slots_[i].path == saved) slot = static_cast<int>(i) + 1;
    if (!extraPath_.empty()) slot = 1;
    if (slot < 1 || slot > static_cast<int>(slots_.size())) slot = 0;
    view_.showChoice(slot, {}, !context_.settings.turbo());
    context_.session.link.linkAbort = LinkState::kAbortIdle;

    for (const PortSlot& s : query_()) present_.insert(s.path);
    view_.startTimer(kPortWatchTimer, kPortWatchMs);
}

std::string ConnectWindow::chosenPath() const {
    const ConnectChoice choice = view_.choice();
    std::string typed = trimmed(choice.typedPath);
    if (!typed.empty()) return typed;
    return choice.slot > 0 && choice.slot <= static_cast<int>(slots_.size()) ? slots_[choice.slot - 1].path
                                                                             : std::string();
}

std::string ConnectWindow::idleStatus() const {
    const std::string status = slots_.empty() ? kNoDeviceText : kIdleText;
    return platformNote_.empty() ? status : status + "\n\n" + platformNote_;
}

void ConnectWindow::setConnectEnabled(bool on) {
    controls_.connectEnabled = on;
    controls_.helpEnabled = on;
    view_.showControls(controls_);
}

void ConnectWindow::setOfflineEnabled(bool on) {
    controls_.offlineEnabled = on;
    view_.showControls(controls_);
}

void ConnectWindow::attemptFailed() {
    view_.setStatus(idleStatus());
    setConnectEnabled(true);
}

void ConnectWindow::setPortWatchInterval(int ms) { view_.startTimer(kPortWatchTimer, ms); }

void ConnectWindow::pathTyped(const std::string& text) {
    if (!text.empty()) view_.showChoice(0, text, view_.choice().slowLink);
}

void ConnectWindow::slotChosen() {
    const ConnectChoice choice = view_.choice();
    view_.showChoice(choice.slot, {}, choice.slowLink);
}

void ConnectWindow::connectPressed() {
    // One attempt at a time: an attempt pumps events while it waits, and a
    // click then must not start a second one on the port it holds.
    if (busy()) return;
    Session& s = context_.session;
    const ConnectChoice choice = view_.choice();
    const std::string path = chosenPath();
    // With nothing chosen the slot's own name goes to the port layer, which
    // says it cannot open it.
    const std::string portName = path.empty() ? "COM" + std::to_string(std::max(choice.slot, 1)) : path;
    s.link.linkAbort = LinkState::kAbortRunning;
    view_.setStatus(kReadyText);
    setConnectEnabled(false);
    attempting_ = true;
    attemptPort_ = portName;
    view_.startTimer(kHintTimer, kHintAfterMs);

    DoctorUi ui(context_.ui, context_.windows, portName);
    BootLink link(*s.port, s.link, s.target, s.image, ui);
    Connector connector(link);
    const bool fast = !choice.slowLink;
    const ConnectResult result = connector.connect(portName, fast);
    attempting_ = false;
    view_.stopTimer(kHintTimer);

    if (s.link.linkAbort != LinkState::kAbortRunning) {
        // Cancelled (or the program was told to quit) during the attempt.
        s.port->closePort();
        attemptFailed();
        s.link.linkAbort = LinkState::kAbortIdle;
        if (closing_) view_.end(kResultRejected);
        return;
    }
    s.link.linkAbort = LinkState::kAbortIdle;
    if (result == ConnectResult::PortFailed || result == ConnectResult::Aborted) {
        s.port->closePort();
        attemptFailed();
        return;
    }
    if (result == ConnectResult::CommunicationError) {
        context_.ui.message(connector.failureMessage(result), MessageKind::Error);
        s.port->closePort();
        attemptFailed();
        return;
    }
    if (result == ConnectResult::WrongTarget) {
        context_.ui.message(connector.failureMessage(result), MessageKind::Error);
        s.port->closePort();
        view_.end(kResultRejected);
        return;
    }
    // A typed path has no slot: the slot last chosen stays as it was.
    if (choice.slot > 0) context_.settings.setPort(choice.slot);
    context_.settings.setPortName(path);
    context_.settings.setTurbo(fast);
    finishConnected();
}

void ConnectWindow::finishConnected() {
    view_.stopTimer(kPortWatchTimer);
    if (view_.choice().reloadFirmware) {
        // The firmware window writes by the chip's memory map: take the target
        // of the tracker just connected, not whatever was held before.
        selectTarget(context_.session.target, context_.session.link.chipName);
        context_.windows.run(WindowKind::FirmwareInit, context_);
    }
    view_.end(kResultAccepted);
}

void ConnectWindow::cancelPressed() {
    LinkState& link = context_.session.link;
    if (link.linkAbort != LinkState::kAbortRunning) {
        link.linkAbort = LinkState::kAbortRequested;
        view_.end(kResultRejected);
        return;
    }
    // First press during an attempt: stop it and stay.
    link.linkAbort = LinkState::kAbortRequested;
}

void ConnectWindow::closeRequested() {
    // During an attempt, stop it and close once it has unwound; otherwise
    // close now.
    if (context_.session.link.linkAbort == LinkState::kAbortRunning) {
        closing_ = true;
        context_.session.link.linkAbort = LinkState::kAbortRequested;
        return;
    }
    cancelPressed();
}

void ConnectWindow::offlinePressed() {
    if (busy()) return;  // the attempt may still connect; a file would race it
    const std::string path = context_.files.openFile(kConfigFilter, "cfg");
    if (path.empty()) return;
    if (loadConfigFileOffline(path, context_.session, context_.ui) != 0) return;
    context_.session.markSaved();
    view_.stopTimer(kPortWatchTimer);
    view_.end(kResultAccepted);
}

void ConnectWindow::addPortPressed() {
    if (busy()) return;  // the chooser would come up over a running attempt
    const std::string path = context_.windows.addPort();
    if (path.empty()) return;
    slots_ = query_();
    view_.showSlots(slots_);
    view_.setStatus(idleStatus());
    // The user picked this port: it is chosen, and the port watch takes it
    // as present rather than as a tracker just plugged in.
    present_.insert(path);
    int slot = 0;
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].path == path) slot = static_cast<int>(i) + 1;
    view_.showChoice(slot, {}, view_.choice().slowLink);
}

void ConnectWindow::helpPressed() {
    // An attempt holds the port, and a window over it would stall its waits.
    if (busy()) return;
    context_.windows.runListing(context_, kHelpTitle,
                                doctorReportText(context_.windows.connectionReport(chosenPath())));
}

void ConnectWindow::timerTicked(int id) {
    if (id == kHintTimer) {
        // Arrives while Connect waits for the bootloader (its waits keep the
        // window's events going), once.
        view_.stopTimer(kHintTimer);
        // The attempt holds the port: the doctor takes it as opening.
        if (attempting_) view_.setStatus(noAnswerHint(attemptPort_, context_.windows.portFindings(attemptPort_, true)));
        return;
    }
    if (id != kPortWatchTimer || busy()) return;
    watching_ = true;
    std::vector<PortSlot> fresh = query_();
    if (static_cast<int>(fresh.size()) > kWatchedPortSlots) fresh.resize(kWatchedPortSlots);
    std::set<std::string> freshPaths;
    for (const PortSlot& s : fresh) freshPaths.insert(s.path);
    for (const PortSlot& s : fresh) {
        if (present_.count(s.path)) continue;
        present_.insert(s.path);
        if (tryAppearedPort(s.path)) {
            watching_ = false;
            finishConnected();
            return;
        }
        if (closing_) break;
    }
    present_ = freshPaths;
    watching_ = false;
    if (closing_) view_.end(kResultRejected);
}

bool ConnectWindow::tryAppearedPort(const std::string& path) {
    Session& s = context_.session;
    s.link.linkAbort = LinkState::kAbortRunning;
    attempting_ = true;
    // The buttons wait for this attempt; busy() turns away what gets through.
    const bool connectWasEnabled = controls_.connectEnabled;
    setConnectEnabled(false);
    setOfflineEnabled(false);
    view_.pause(kAppearSettleMs);
    bool connected = false;
    DoctorUi ui(context_.ui, context_.windows, path);
    BootLink link(*s.port, s.link, s.target, s.image, ui);
    if (s.link.linkAbort == LinkState::kAbortRunning && s.port->openPort(path, "115200", ui) >= 0) {
        // A tracker running its firmware at 115200 hears the KISS reset and
        // the comment form; the bootloader then announces itself.
        s.port->writeBytes(boot_protocol::kResetKiss.data(), boot_protocol::kResetKiss.size());
        s.port->writeBytes(boot_protocol::kResetComment.data(), boot_protocol::kResetComment.size());
        s.port->flushPort(0);
        if (Connector(link).waitForAnnounce() == Announce::Answered) {
            s.link.linkAbort = LinkState::kAbortRequested;
            std::uint8_t ack = 0;
            if (s.port->readBytes(&ack, 1) >= 0) {
                s.port->flushPort(0);
                if (link.identify() == IdentifyResult::Identified) {
                    splitDeviceId(s.link.deviceInfo.deviceId, s.link.chipName, s.link.targetSuffix);
                    s.link.connected = true;
                    connected = true;
                }
            }
        }
        if (!connected) s.port->closePort();
    }
    attempting_ = false;
    setConnectEnabled(connectWasEnabled);
    setOfflineEnabled(true);
    // Back to idle, so that the next Cancel closes the window (a Cancel during
    // this attempt only stopped it).
    s.link.linkAbort = LinkState::kAbortIdle;
    return connected;
}

}  // namespace varnel
