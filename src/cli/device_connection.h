#pragma once

#include <CLI/CLI.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "cli/stderr_ui.h"
#include "link/boot_link.h"
#include "serial/port_open_reason.h"
#include "session/session.h"

namespace varnel::cli {

// The options every device command takes.
struct DeviceOptions {
    std::string port;
    bool slow = false;
    int timeoutSeconds = 60;
};

void addDeviceOptions(CLI::App* cmd, DeviceOptions& options, bool withSlow = true);

// Stderr messages, plus the one thing a person at the connect dialog would do:
// give up on a tracker that does not answer within the time-out.
class DeviceUi : public StderrUi {
public:
    explicit DeviceUi(LinkState& link) : link_(link) {}
    void startDeadline(int seconds);
    void clearDeadline() { armed_ = false; }
    bool deadlinePassed() const { return passed_; }
    void pump() override;
    void message(const std::string& text, MessageKind kind = MessageKind::Warning) override {
        ++messages_;
        if (collected_) collected_->push_back(text);
        else StderrUi::message(text, kind);
    }
    // Keeps the messages for the caller instead of printing them (the
    // doctor reports them as a line of its own).
    void collectInto(std::vector<std::string>* texts) { collected_ = texts; }
    bool askYesNo(const std::string& text) override {
        if (!collected_) return StderrUi::askYesNo(text);
        collected_->push_back(text + " [no]");
        return false;
    }
    // Asks the link to stop (at its next safe point) once the flag is set:
    // a fleet's Ctrl-C reaches every unit's link this way, from its own thread.
    void stopWhen(const std::atomic<bool>* flag) { stop_ = flag; }
    // How many messages were shown so far: a failure must have added one.
    int messagesShown() const { return messages_; }

private:
    LinkState& link_;
    bool armed_ = false;
    bool passed_ = false;
    int messages_ = 0;
    std::vector<std::string>* collected_ = nullptr;
    const std::atomic<bool>* stop_ = nullptr;
    std::chrono::steady_clock::time_point deadline_{};
};

// One device command's connection: opens the port, gets the tracker into its
// bootloader and identified; on destruction sends the leave command and
// closes the port.
class DeviceConnection {
public:
    DeviceConnection(Session& session, const DeviceOptions& options);
    ~DeviceConnection();
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    // True once connected and the target is selected; false after telling
    // the user why not.
    bool connect();
    // False, after a message, when the connected chip is not in the table.
    bool requireKnownTarget();

    BootLink& link() { return link_; }
    DeviceUi& ui() { return ui_; }

private:
    Session& session_;
    const DeviceOptions& options_;
    DeviceUi ui_;
    PortReasonUi linkUi_;  // says why a port would not open
    BootLink link_;
};

}  // namespace varnel::cli
