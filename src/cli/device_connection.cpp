#include "cli/device_connection.h"

#include <iostream>

#include "config/device_target.h"
#include "link/connector.h"
#include "serial/serial_port.h"
#include "serial/system_serial_port.h"

namespace varnel::cli {

namespace {

// The session needs its port before the link can be built on it.
Session& withSystemPort(Session& session) {
    if (!session.port) session.port = makeSystemSerialPort();
    return session;
}

}  // namespace

void addDeviceOptions(CLI::App* cmd, DeviceOptions& options, bool withSlow) {
    cmd->add_option("--port", options.port, "serial device path, or COMn / n for the n-th serial device found")
        ->required();
    if (withSlow) cmd->add_flag("--slow", options.slow, "stay at 19200 baud (no fast link)");
    cmd->add_option("--timeout", options.timeoutSeconds, "seconds to wait for a tracker that does not answer")
        ->check(CLI::PositiveNumber);
}

void DeviceUi::startDeadline(int seconds) {
    armed_ = true;
    passed_ = false;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

void DeviceUi::pump() {
    if (stop_ && stop_->load()) link_.linkAbort = LinkState::kAbortRequested;
    if (armed_ && std::chrono::steady_clock::now() >= deadline_) {
        passed_ = true;
        link_.linkAbort = LinkState::kAbortRequested;
    }
}

DeviceConnection::DeviceConnection(Session& session, const DeviceOptions& options)
    : session_(session), options_(options), ui_(session.link), linkUi_(ui_, options.port),
      link_(withSystemPort(session), linkUi_) {}

DeviceConnection::~DeviceConnection() {
    if (session_.link.connected) link_.leaveBootloader();
    if (session_.port && session_.port->isOpen()) session_.port->closePort();
}

bool DeviceConnection::connect() {
    session_.link.linkAbort = LinkState::kAbortRunning;
    const int shownBefore = ui_.messagesShown();
    ui_.startDeadline(options_.timeoutSeconds);
    Connector connector(link_);
    const ConnectResult r = connector.connect(options_.port, !options_.slow);
    ui_.clearDeadline();
    session_.link.linkAbort = LinkState::kAbortIdle;
    if (r == ConnectResult::Connected) {
        selectTarget(session_.target, session_.link.chipName);
        return true;
    }
    std::string text = connector.failureMessage(r);
    if (r == ConnectResult::Aborted && ui_.deadlinePassed())
        text = "No answer from a tracker on " + options_.port + " within " + std::to_string(options_.timeoutSeconds) +
               " seconds; gave up.";
    // Every failure says something, even one whose layer was to have told
    // and did not.
    if (text.empty() && ui_.messagesShown() == shownBefore)
        text = "No tracker could be reached on " + options_.port + " (connect result " +
               std::to_string(static_cast<int>(r)) + ").";
    if (!text.empty()) ui_.message(text);
    return false;
}

bool DeviceConnection::requireKnownTarget() {
    if (findTarget(session_.link.chipName)) return true;
    ui_.message("Unsupported target device: " + session_.link.deviceInfo.deviceId);
    return false;
}

}  // namespace varnel::cli
