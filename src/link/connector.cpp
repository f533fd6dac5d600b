#include "link/connector.h"

#include <cstdio>
#include <vector>

#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/boot_protocol.h"
#include "link/link_messages.h"

namespace varnel {

namespace bp = boot_protocol;

bool Connector::openAt(const std::string& portName, const char* speed) {
    return link_.port().openPort(portName, speed, link_.ui()) == 1;
}

void Connector::sendResetRequest() {
    // Write results are not examined: the firmware may not be listening at
    // this speed, and the announce wait tells whether anything happened.
    SerialPort& port = link_.port();
    port.writeBytes(bp::kResetCommandLine.data(), bp::kResetCommandLine.size());
    port.writeBytes(bp::kResetComment.data(), bp::kResetComment.size());
    port.writeBytes(bp::kResetKiss.data(), bp::kResetKiss.size());
}

Announce Connector::waitForAnnounce() {
    SerialPort& port = link_.port();
    const LinkState& state = link_.link();
    LinkClock& clock = link_.clock();
    const std::int64_t start = clock.nowMs();
    int r = 0;
    std::uint8_t b = 0;
    for (;;) {
        r = port.readBytes(&b, 1);
        if (r < 0 || state.linkAbort != LinkState::kAbortRunning || (r == 1 && b == bp::kAck)) break;
        link_.pump();
        if (clock.nowMs() - start > bp::kAnnounceWindowMs) return Announce::Quiet;
    }
    if (state.linkAbort != LinkState::kAbortRunning) return Announce::Aborted;
    if (r < 0) {
        link_.ui().message(link_messages::kErrorReceiving, MessageKind::Error);
        return Announce::ReadFailed;
    }
    port.sendByte(bp::kAck);
    clock.sleepMs(bp::kSettleMs);
    return Announce::Answered;
}

bool Connector::identifyConfirmed() {
    // The record decides how every later command is framed (block sizes,
    // the programmable area), and nothing on the wire guards it: it counts
    // when two records agree and make sense.
    identificationUnreliable_ = false;
    std::vector<DeviceInfo> seen;
    bool heardSomething = false;
    for (int attempt = 0; attempt < bp::kIdentifyAttempts; ++attempt) {
        const IdentifyResult r = link_.identify();
        if (r != IdentifyResult::Identified) {
            // A silent device, not a noisy one.
            if (r == IdentifyResult::Silent && !heardSomething) return false;
            heardSomething = true;
            link_.drainUntilQuiet();
            continue;
        }
        heardSomething = true;
        const DeviceInfo got = link_.link().deviceInfo;
        if (link_.takeLineErrors() != 0 || !identificationMakesSense(got)) continue;
        for (const DeviceInfo& earlier : seen)
            if (earlier == got) return true;
        seen.push_back(got);
    }
    identificationUnreliable_ = true;
    return false;
}

ConnectResult Connector::connect(const std::string& portName, bool allowFastLink) {
    return connectWithin(portName, allowFastLink, -1);
}

ConnectResult Connector::connectWithin(const std::string& portName, bool allowFastLink, int maxWindows) {
    SerialPort& port = link_.port();
    LinkState& state = link_.link();
    link_.forgetConfirmedReads();
    identificationUnreliable_ = false;
    state.fastSpeed.clear();
    state.lineGarbled = false;
    if (!openAt(portName, bp::kFirstOpenSpeed)) return ConnectResult::PortFailed;
    std::size_t probe = 0;
    for (int window = 0;; ++window) {
        if (maxWindows >= 0 && window >= maxWindows) return ConnectResult::Aborted;
        sendResetRequest();
        port.flushPort(0);
        port.closePort();
        if (!openAt(portName, bp::kBootloaderSpeed)) return ConnectResult::PortFailed;
        const Announce announce = waitForAnnounce();
        if (announce == Announce::ReadFailed) return ConnectResult::PortFailed;
        if (announce == Announce::Aborted) return ConnectResult::Aborted;
        if (announce == Announce::Answered) break;
        port.closePort();
        if (!openAt(portName, bp::kProbeSpeeds[probe])) return ConnectResult::PortFailed;
        probe = (probe + 1) % bp::kProbeSpeeds.size();
    }

    // The bootloader acknowledges our answer; some versions need a nudge.
    std::uint8_t ack = 0;
    const int r = port.readBytes(&ack, 1);
    if (r < 0) return ConnectResult::CommunicationError;
    if (r == 0) {
        port.sendByte(0x00);
        port.readBytes(&ack, 1);
    }
    port.flushPort(0);
    if (!identifyConfirmed()) return ConnectResult::CommunicationError;

    const std::string& id = state.deviceInfo.deviceId;
    if (!state.chipName.empty()) {
        if (id.rfind(state.chipName, 0) != 0) return ConnectResult::WrongTarget;
        state.sameTargetReconnected = true;
    }
    splitDeviceId(id, state.chipName, state.targetSuffix);

    if (allowFastLink) {
        const char* speed = nullptr;
        std::uint8_t command = 0;
        if (state.targetSuffix.find(bp::kCapability115200) != std::string::npos) {
            command = bp::kSwitch115200;
            speed = "115200";
        } else if (state.targetSuffix.find(bp::kCapability57600) != std::string::npos) {
            command = bp::kSwitch57600;
            speed = "57600";
        }
        if (speed) {
            port.sendByte(command);
            port.flushPort(0);
            port.closePort();
            // Without the port at the new speed nothing more can be said to
            // the tracker; the port layer has told the user already.
            if (!openAt(portName, speed)) return ConnectResult::PortFailed;
            state.fastSpeed = speed;
        }
    }
    state.portName = portName;
    state.fastLinkAllowed = allowFastLink;
    state.connected = true;
    return ConnectResult::Connected;
}

std::string Connector::failureMessage(ConnectResult result) const {
    const LinkState& state = link_.link();
    if (result == ConnectResult::CommunicationError) {
        char text[64];
        std::snprintf(text, sizeof text, link_messages::kCommunicationsError,
                      static_cast<unsigned>(state.bootloaderVersion));
        if (identificationUnreliable_) return std::string(text) + "\n" + link_messages::kUnreliableIdentification;
        return text;
    }
    if (result == ConnectResult::WrongTarget) {
        // The held chip stays what it was; the tracker's is its id's first part.
        std::string chip, suffix;
        splitDeviceId(state.deviceInfo.deviceId, chip, suffix);
        char second[160];
        std::snprintf(second, sizeof second, link_messages::kWrongTargetChips, state.chipName.c_str(), chip.c_str());
        return std::string(link_messages::kWrongTarget) + "\n" + second;
    }
    return {};
}

bool Connector::resynchronise() {
    link_.forgetConfirmedReads();
    SerialPort& port = link_.port();
    LinkState& state = link_.link();
    // A byte lost on the way leaves the bootloader waiting inside a frame; a
    // lost reply leaves ours on the line. 0xFF completes any frame without
    // programming anything, and the drain takes whatever it brings back.
    const std::vector<std::uint8_t> fill(bp::kResyncFillBytes, bp::kResyncFill);
    // A port that no longer takes bytes (the tracker unplugged) is past
    // getting back in step.
    if (port.writeBytes(fill.data(), static_cast<int>(fill.size())) != static_cast<int>(fill.size())) return false;
    link_.drainUntilQuiet();
    const DeviceInfo known = state.deviceInfo;
    const int version = state.bootloaderVersion;
    const auto inStep = [&] {
        const IdentifyResult r = link_.identify();
        // A record that came broken or different from the same tracker: the
        // line changed it.
        if (r == IdentifyResult::Failed || (r == IdentifyResult::Identified && !(state.deviceInfo == known)))
            link_.noteLineGarbled();
        return r == IdentifyResult::Identified && state.deviceInfo == known && link_.takeLineErrors() == 0;
    };
    if (inStep()) return true;
    link_.drainUntilQuiet();
    if (inStep()) return true;

    // Out of step for good (a speed switch heard by mistake, say): find the
    // tracker again from the start, as long as it is the same one.
    state.deviceInfo = known;
    state.bootloaderVersion = version;
    return reconnect(state.fastLinkAllowed);
}

bool Connector::reconnect(bool allowFastLink) {
    LinkState& state = link_.link();
    if (state.portName.empty()) return false;
    const std::string portName = state.portName;
    const DeviceInfo known = state.deviceInfo;
    const bool sameTarget = state.sameTargetReconnected;
    const int abort = state.linkAbort;
    // What the line did before still counts, and a reconnect that failed
    // leaves the tracker at whatever speed it was.
    const bool garbled = state.lineGarbled;
    const std::string fast = state.fastSpeed;
    state.linkAbort = LinkState::kAbortRunning;
    link_.port().closePort();
    const ConnectResult r = connectWithin(portName, allowFastLink, bp::kReconnectWindows);
    state.linkAbort = abort;
    state.sameTargetReconnected = sameTarget;
    state.lineGarbled = state.lineGarbled || garbled;
    if (r != ConnectResult::Connected || !(state.deviceInfo == known)) {
        state.deviceInfo = known;
        state.fastSpeed = fast;
        return false;
    }
    return true;
}

bool Connector::fallBackToSlowLine() {
    LinkState& state = link_.link();
    if (state.fastSpeed.empty() || !state.lineGarbled) return false;
    const std::string fast = state.fastSpeed;
    // Whatever else happens, the fast line is not tried again on this link:
    // a later lost step reconnects at the slow speed too.
    state.fastLinkAllowed = false;
    if (!reconnect(false)) return false;
    char text[128];
    std::snprintf(text, sizeof text, link_messages::kWentOnSlower, fast.c_str(), bp::kBootloaderSpeed);
    link_.note(text);
    return true;
}

}  // namespace varnel
