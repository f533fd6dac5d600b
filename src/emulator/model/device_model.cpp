#include "emulator/model/device_model.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/bytes.h"
#include "emulator/model/line_speed.h"

namespace varnel {

namespace {

// Command bytes of the resident bootloader.
constexpr std::uint8_t kCmdIdentify = 'I';
constexpr std::uint8_t kCmdRead = 'R';
constexpr std::uint8_t kCmdErase = 'E';
constexpr std::uint8_t kCmdWrite = 'W';
constexpr std::uint8_t kCmdWriteChecked = 'V';
constexpr std::uint8_t kCmdCommit = 'U';
constexpr std::uint8_t kCmdLeave = 'Q';
constexpr std::uint8_t kCmdFast115200 = 'H';
constexpr std::uint8_t kCmdFast57600 = 'T';

// Diagnostic command bytes the firmware (and the bootloader's test monitor) answers.
constexpr std::uint8_t kDiagRedOn = 0x80;
constexpr std::uint8_t kDiagPowerOff = 0x87;
constexpr std::uint8_t kDiagAudioLevel = 0x88;
constexpr std::uint8_t kDiagTonePair = 0x89;
constexpr std::uint8_t kDiagVoltage = 0x8A;
constexpr std::uint8_t kDiagTemperature = 0x8B;
constexpr std::uint8_t kDiagReceive1x = 0x8C;
constexpr std::uint8_t kDiagReceive16x = 0x8E;
constexpr std::uint8_t kDiagToneHigh = 0xC0;
constexpr std::uint8_t kDiagToneLow = 0xC1;
constexpr std::uint8_t kDiagToneBoth = 0xC2;
constexpr std::uint8_t kDiagStopTones = 0xFF;

// The firmware drops into the bootloader on any of its three reset requests:
// the NMEA-style one, the text one and a KISS frame with command 0xFE.
constexpr std::string_view kResetNmea{"\r$~R$~R", 7};
constexpr std::string_view kResetText{"/*reset*/", 9};
constexpr std::string_view kResetKiss{"\xC0\xFE\xC0", 3};

// A small, portable random stream (splitmix64): the same seed gives the same
// noise with every compiler and library.
std::uint64_t nextRandom(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string hex(std::uint32_t v, int digits = 4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
    return buf;
}

// The commands that carry an address field after their command byte.
bool addressed(int command) {
    return command == kCmdRead || command == kCmdErase || command == kCmdWrite || command == kCmdWriteChecked;
}

}  // namespace

const char* deviceStateName(DeviceState s) {
    switch (s) {
    case DeviceState::Firmware: return "firmware";
    case DeviceState::Announcing: return "announcing";
    case DeviceState::Bootloader: return "bootloader";
    }
    return "?";
}

DeviceModel::DeviceModel(const EmulatedChip& chip)
    : chip_(chip), info_(chip.info), lineSpeed_(chip.firmwareSpeed), firmwareSpeed_(chip.firmwareSpeed),
      voltageRaw_(chip.voltageRaw), temperatureRaw_(chip.temperatureRaw) {
    setLineNoise(LineNoise{});
}

void DeviceModel::setSensorBytes(std::uint8_t voltageRaw, std::uint8_t temperatureRaw) {
    voltageRaw_ = voltageRaw;
    temperatureRaw_ = temperatureRaw;
}

void DeviceModel::setFirmwareSpeed(std::uint32_t speed) {
    firmwareSpeed_ = speed;
    if (state_ == DeviceState::Firmware) lineSpeed_ = speed;
}

void DeviceModel::setLineNoise(const LineNoise& noise) {
    faults_.noise = noise;
    noiseToHost_ = noise.seed;
    noiseToTracker_ = noise.seed ^ 0x5DEECE66Dull;
}

void DeviceModel::setAnnounceRepeats(std::uint32_t k) {
    faults_.announceRepeats = k;
    repeatsLeft_ = k;
}

void DeviceModel::startInBootloader(Clock::time_point now, bool stay) {
    stayInBootloader_ = stay;
    enterAnnouncing(now, "power-on in bootloader");
}

void DeviceModel::powerCycle(Clock::time_point now) {
    outputs_ = DeviceOutputs{};
    toneRunning_ = false;
    diagnosticOperandFor_ = -1;
    pending_.clear();
    recentCount_ = 0;
    if (stayInBootloader_) {
        enterAnnouncing(now, "power cycle");
        return;
    }
    state_ = DeviceState::Firmware;
    lineSpeed_ = firmwareSpeed_;
    lateAnnounceAt_.reset();
    record(0, 0, 0, CommandResult::Event, "power cycle: firmware running");
}

void DeviceModel::enterAnnouncing(Clock::time_point now, const char* why) {
    state_ = DeviceState::Announcing;
    lineSpeed_ = kBootloaderSpeed;
    lateAnnounceAt_.reset();
    pending_.clear();
    diagnosticOperandFor_ = -1;
    recentCount_ = 0;
    nextAnnounce_ = now;
    announceUntil_ = now + kAnnounceWindow;
    record(0, 0, 0, CommandResult::Event, std::string(why) + ": bootloader announcing");
}

void DeviceModel::receive(const std::uint8_t* data, std::size_t n, std::uint32_t hostSpeed, Clock::time_point now) {
    if (hungUp_) return;
    if (faults_.hangupAfter) {
        const std::uint64_t room = *faults_.hangupAfter > bytesReceived_ ? *faults_.hangupAfter - bytesReceived_ : 0;
        if (n >= room) {
            n = static_cast<std::size_t>(room);
            hungUp_ = true;
        }
    }
    bytesReceived_ += n;
    if (usbCdc_) hostSpeed = 0;  // no UART on the way: nothing to mismatch
    if (!faults_.silent && n > 0) {
        auto heard = hearAtSpeed(data, n, hostSpeed, lineSpeed_);
        if (hostSpeed != 0 && hostSpeed != lineSpeed_) {
            char note[96];
            std::snprintf(note, sizeof note, "%zu bytes sent at %u, device listening at %u", n, hostSpeed, lineSpeed_);
            record(data[0], 0, static_cast<std::uint32_t>(n), CommandResult::Garbled, note);
        }
        for (std::uint8_t& b : heard) {
            // Noise hits each byte as it arrives, so a handshake in this
            // very chunk arms it for the bytes behind.
            applyNoise(&b, 1, false);
            hear(b, now);
        }
    }
    if (hungUp_) record(0, 0, static_cast<std::uint32_t>(bytesReceived_), CommandResult::Event, "line hung up");
}

void DeviceModel::hear(std::uint8_t b, Clock::time_point now) {
    lastByte_ = now;
    ++heardSinceEntry_;
    switch (state_) {
    case DeviceState::Firmware: firmwareByte(b, now); break;
    case DeviceState::Announcing:
        if (b == kAck) {
            state_ = DeviceState::Bootloader;
            repeatsLeft_ = faults_.announceRepeats;
            repeatUnanswered_ = false;
            send({kAck});
            record(kAck, 0, 0, CommandResult::Ack, "handshake");
            noiseArmed_ = true;
            if (faults_.lateAnnounceMs) lateAnnounceAt_ = now + std::chrono::milliseconds(*faults_.lateAnnounceMs);
        } else if (resetRequestHeard(b)) {
            enterAnnouncing(now, "reset request");
        }
        break;
    case DeviceState::Bootloader: bootloaderByte(b, now); break;
    }
}

bool DeviceModel::resetRequestHeard(std::uint8_t b) {
    std::rotate(recent_.begin(), recent_.begin() + 1, recent_.end());
    recent_.back() = b;
    recentCount_ = std::min(recentCount_ + 1, recent_.size());
    for (std::string_view request : {kResetNmea, kResetText, kResetKiss}) {
        if (recentCount_ < request.size()) continue;
        const auto* tail = recent_.data() + recent_.size() - request.size();
        if (std::equal(request.begin(), request.end(), tail,
                       [](char c, std::uint8_t x) { return static_cast<std::uint8_t>(c) == x; }))
            return true;
    }
    return false;
}

void DeviceModel::firmwareByte(std::uint8_t b, Clock::time_point now) {
    if (resetRequestHeard(b)) {
        enterAnnouncing(now, "reset request");
        return;
    }
    diagnosticsByte(b);
}

bool DeviceModel::diagnosticsByte(std::uint8_t b) {
    replyTo_ = diagnosticOperandFor_ >= 0 ? diagnosticOperandFor_ : b;
    struct Done {
        int& replyTo;
        ~Done() { replyTo = -1; }
    } done{replyTo_};
    if (diagnosticOperandFor_ >= 0) {
        const auto command = static_cast<std::uint8_t>(diagnosticOperandFor_);
        diagnosticOperandFor_ = -1;
        std::string note;
        if (command == kDiagAudioLevel) {
            outputs_.audioLevel = b;
            note = "audio level " + std::to_string(b);
        } else {
            outputs_.tonePair = b;
            note = b == 0 ? "tone pair 1200" : b == 1 ? "tone pair 300" : "tone pair " + std::to_string(b) + "?";
        }
        send({b});
        record(command, b, 1, CommandResult::Ack, note);
        return true;
    }
    if (b >= kDiagRedOn && b <= kDiagPowerOff) {
        const bool on = (b & 1) == 0;
        bool* outputsByPair[] = {&outputs_.redLed, &outputs_.greenLed, &outputs_.txLed, &outputs_.power};
        static constexpr const char* kOutputNames[] = {"red LED", "green LED", "transmit LED", "power output"};
        *outputsByPair[(b - kDiagRedOn) / 2] = on;
        send({b});
        record(b, 0, 0, CommandResult::Ack, std::string(kOutputNames[(b - kDiagRedOn) / 2]) + (on ? " on" : " off"));
        return true;
    }
    switch (b) {
    case kDiagAudioLevel:
        // The level follows as the next byte; each of the two is acknowledged.
        diagnosticOperandFor_ = b;
        send({b});
        record(b, 0, 0, CommandResult::Ack);
        return true;
    case kDiagTonePair:
        diagnosticOperandFor_ = b;
        record(b, 0, 0, CommandResult::NoReply);
        return true;
    case kDiagVoltage:
        send({voltageRaw_});
        record(b, 0, 1, CommandResult::Ack);
        return true;
    case kDiagTemperature:
        send({temperatureRaw_});
        record(b, 0, 1, CommandResult::Ack);
        return true;
    case kDiagToneHigh:
    case kDiagToneLow:
    case kDiagToneBoth:
        outputs_.toneHigh = b != kDiagToneLow;
        outputs_.toneLow = b != kDiagToneHigh;
        toneRunning_ = true;
        record(b, 0, 0, CommandResult::NoReply,
               b == kDiagToneBoth   ? "both tones"
               : b == kDiagToneHigh ? "high tone"
                                    : "low tone");
        return true;
    case kDiagStopTones:
        // Stopping a running tone also reports that the modulator went quiet.
        send(toneRunning_ ? std::vector<std::uint8_t>{b, b} : std::vector<std::uint8_t>{b});
        record(b, 0, toneRunning_ ? 2 : 1, CommandResult::Ack, toneRunning_ ? "tones stopped" : "no tone playing");
        outputs_.toneHigh = outputs_.toneLow = false;
        toneRunning_ = false;
        return true;
    default: break;
    }
    if (b >= kDiagReceive1x && b <= kDiagReceive16x) {
        if (!chip_.hasReceiveLevel) {
            record(b, 0, 0, CommandResult::Ignored, "no receive level on this board");
            return true;
        }
        // A steady tone on the receiver input, louder with more gain.
        static constexpr std::uint8_t kSwing[] = {5, 20, 80};
        const std::uint8_t swing = kSwing[b - kDiagReceive1x];
        receiveSample_ ^= 1;
        send({static_cast<std::uint8_t>(receiveSample_ ? 128 + swing : 128 - swing)});
        record(b, 0, 1, CommandResult::Ack);
        return true;
    }
    return false;
}

std::size_t DeviceModel::commandLength() const {
    switch (pending_[0]) {
    case kCmdRead: return 4;
    case kCmdErase: return 3;
    case kCmdWrite: return pending_.size() >= 4 ? 4u + pending_[3] : 4u;
    case kCmdWriteChecked: return pending_.size() >= 4 ? 5u + pending_[3] : 5u;
    default: return 1;
    }
}

void DeviceModel::bootloaderByte(std::uint8_t b, Clock::time_point now) {
    if (!pending_.empty()) {
        pending_.push_back(b);
        if (pending_.size() >= commandLength()) runCommand(now);
        return;
    }
    // The bootloader's test monitor answers the diagnostic bytes too, so the
    // adjustment dialog works on a connected tracker.
    if (diagnosticOperandFor_ >= 0) {
        diagnosticsByte(b);
        return;
    }
    if (b >= 0x80 && diagnosticsByte(b)) return;
    switch (b) {
    case kCmdIdentify:
    case kCmdRead:
    case kCmdErase:
    case kCmdWrite:
    case kCmdWriteChecked:
    case kCmdCommit:
    case kCmdLeave:
    case kCmdFast115200:
    case kCmdFast57600:
        pending_.push_back(b);
        if (pending_.size() >= commandLength()) runCommand(now);
        return;
    case kAck:
        // The host's answer to an announce repeated after 'I' goes in the
        // log, so a test can see the host kept up; other repeats need nothing.
        if (repeatUnanswered_) {
            repeatUnanswered_ = false;
            record(kAck, 0, 0, CommandResult::Ack, "host answered the repeated announce");
        }
        return;
    case 0x00: return;  // the host's nudge needs no answer
    default: break;
    }
    // A host that lost track of us starts over with the reset request; the
    // bootloader restarts its announce so the host can find it again.
    if (resetRequestHeard(b)) {
        enterAnnouncing(now, "reset request");
        return;
    }
    record(b, 0, 0, CommandResult::Ignored, "not a command");
}

std::uint32_t DeviceModel::byteAddress(std::size_t fieldOffset) const {
    return std::uint32_t{getU16BE(&pending_[fieldOffset])} << chip_.addressShift;
}

void DeviceModel::runCommand(Clock::time_point now) {
    const std::uint8_t command = pending_[0];
    applyAddressFaults();
    replyTo_ = command;
    switch (command) {
    case kCmdIdentify:
        if (repeatsLeft_ > 0) {
            --repeatsLeft_;
            repeatUnanswered_ = true;
            send({kAck});
            record(command, 0, 0, CommandResult::Ack, "announce repeated instead of the identification");
            break;
        }
        send(identificationReply());
        record(command, 0, 0, CommandResult::Ack, info_.deviceId);
        break;
    case kCmdRead: cmdRead(); break;
    case kCmdErase: cmdErase(); break;
    case kCmdWrite: cmdWrite(false); break;
    case kCmdWriteChecked: cmdWrite(true); break;
    case kCmdCommit: cmdCommitStaged(); break;
    case kCmdLeave:
        state_ = DeviceState::Firmware;
        lineSpeed_ = firmwareSpeed_;
        record(command, 0, 0, CommandResult::NoReply, "firmware running");
        break;
    case kCmdFast115200:
    case kCmdFast57600: {
        const auto dash = info_.deviceId.find('-');
        const bool offered =
            dash != std::string::npos && info_.deviceId.find(static_cast<char>(command), dash + 1) != std::string::npos;
        if (!offered) {
            record(command, 0, 0, CommandResult::Ignored, "fast link not offered");
            break;
        }
        lineSpeed_ = command == kCmdFast115200 ? kFastLinkSpeedH : kFastLinkSpeedT;
        record(command, 0, 0, CommandResult::NoReply, "now at " + std::to_string(lineSpeed_));
        break;
    }
    default: break;
    }
    pending_.clear();
    replyTo_ = -1;
    (void)now;
}

void DeviceModel::cmdRead() {
    const std::uint32_t address = byteAddress(1);
    const std::uint32_t length = pending_[3];
    std::vector<std::uint8_t> data(length);
    std::string note;
    for (std::uint32_t i = 0; i < length; ++i) {
        data[i] = flash_.read(address + i);
        if (faults_.corruptReadAt && *faults_.corruptReadAt == address + i) {
            data[i] = static_cast<std::uint8_t>(~data[i]);
            note = "corrupted read-back at " + hex(address + i);
        }
    }
    send(std::move(data));
    record(kCmdRead, address, length, CommandResult::Ack, note);
}

bool DeviceModel::writableRange(std::uint32_t address, std::uint32_t length, std::string& why) const {
    const std::uint64_t end = std::uint64_t{address} + std::max<std::uint32_t>(length, 1);
    if (address < info_.validStart || end > chip_.validEndBytes()) {
        why = "outside the programmable area";
        return false;
    }
    if (chip_.stagedSize != 0 && address < chip_.stagedBase + chip_.stagedSize && end > chip_.stagedBase) {
        why = "low firmware area goes through the staging copy";
        return false;
    }
    return true;
}

void DeviceModel::cmdErase() {
    const std::uint32_t address = byteAddress(1);
    const std::uint32_t blockSize = info_.eraseBlockSize;
    const std::uint32_t blockStart = address - address % blockSize;
    std::string why;
    if (!writableRange(address, 1, why)) {
        send({kNak});
        record(kCmdErase, address, blockSize, CommandResult::Nak, why);
        return;
    }
    if (faults_.nakEraseAt && *faults_.nakEraseAt >= blockStart && *faults_.nakEraseAt < blockStart + blockSize) {
        send({kNak});
        record(kCmdErase, address, blockSize, CommandResult::Nak, "injected fault");
        return;
    }
    flash_.eraseBlockAt(address, blockSize);
    send({kAck}, kEraseMicros);
    record(kCmdErase, address, blockSize, CommandResult::Ack, "erased block " + hex(blockStart));
}

void DeviceModel::cmdWrite(bool checked) {
    const std::uint8_t command = pending_[0];
    const std::uint32_t address = byteAddress(1);
    const std::uint32_t length = pending_[3];
    const std::uint8_t* data = pending_.data() + (checked ? 5 : 4);
    std::string why;
    if (checked) {
        std::uint8_t sum = 0;
        for (std::uint32_t i = 0; i < length; ++i) sum ^= data[i];
        if (sum != pending_[4]) {
            send({kNak});
            record(command, address, length, CommandResult::Nak, "checksum mismatch");
            return;
        }
    }
    if (!writableRange(address, length, why)) {
        send({kNak});
        record(command, address, length, CommandResult::Nak, why);
        return;
    }
    if (faults_.nakWriteAt && *faults_.nakWriteAt >= address && *faults_.nakWriteAt < address + length) {
        send({kNak});
        record(command, address, length, CommandResult::Nak, "injected fault");
        return;
    }
    const auto conflict = flash_.program(address, data, length);
    send({kAck}, kProgramMicrosPerByte * length);
    record(command, address, length, CommandResult::Ack,
           conflict ? "write without erase at " + hex(*conflict) : std::string());
    if (conflict) log_.back().writeWithoutErase = true;
}

void DeviceModel::cmdCommitStaged() {
    if (chip_.stagedSize == 0) {
        send({kNak});
        record(kCmdCommit, 0, 0, CommandResult::Nak, "no staging on this chip");
        return;
    }
    // The bootloader copies the staged image over the low firmware area.
    const std::uint32_t blockSize = info_.eraseBlockSize;
    std::uint32_t erased = 0;
    for (std::uint32_t a = chip_.stagedBase; a < chip_.stagedBase + chip_.stagedSize; a += blockSize, ++erased)
        flash_.eraseBlockAt(a, blockSize);
    std::vector<std::uint8_t> staged(chip_.stagedSize);
    for (std::uint32_t i = 0; i < chip_.stagedSize; ++i)
        staged[i] = flash_.read(chip_.stagedBase + chip_.stagingOffset + i);
    flash_.program(chip_.stagedBase, staged.data(), staged.size());
    send({kAck}, erased * kEraseMicros + kProgramMicrosPerByte * chip_.stagedSize);
    record(kCmdCommit, chip_.stagedBase, chip_.stagedSize, CommandResult::Ack,
           "staged copy from " + hex(chip_.stagedBase + chip_.stagingOffset) + " committed");
}

std::vector<std::uint8_t> DeviceModel::identificationReply() const {
    std::vector<std::uint8_t> reply{chip_.bootloaderVersion};
    for (std::uint16_t word : {info_.validStart, info_.validEnd, info_.redirectBase, info_.vectorLow,
                               info_.eraseBlockSize, info_.writeBlockSize}) {
        reply.push_back(static_cast<std::uint8_t>(word >> 8));
        reply.push_back(static_cast<std::uint8_t>(word & 0xFF));
    }
    reply.insert(reply.end(), info_.redirectPrologue.begin(), info_.redirectPrologue.end());
    reply.insert(reply.end(), info_.deviceId.begin(), info_.deviceId.end());
    reply.push_back(0x00);
    return reply;
}

void DeviceModel::tick(Clock::time_point now) {
    if (hungUp_ || faults_.silent) return;
    if (lateAnnounceAt_ && now >= *lateAnnounceAt_) sendLateAnnounce();
    if (!pending_.empty() && now - lastByte_ > kCommandTimeout) {
        record(pending_[0], 0, static_cast<std::uint32_t>(pending_.size()), CommandResult::Ignored,
               "incomplete command dropped");
        pending_.clear();
    }
    if (state_ != DeviceState::Announcing) return;
    if (!stayInBootloader_ && now >= announceUntil_) {
        state_ = DeviceState::Firmware;
        lineSpeed_ = firmwareSpeed_;
        record(0, 0, 0, CommandResult::Event, "no answer to the announce: firmware running");
        return;
    }
    if (now >= nextAnnounce_) {
        send({kAck});
        nextAnnounce_ = now + kAnnouncePeriod;
    }
}

std::optional<DeviceModel::Clock::time_point> DeviceModel::nextDeadline() const {
    if (hungUp_ || faults_.silent) return std::nullopt;
    std::optional<Clock::time_point> next;
    if (!pending_.empty()) next = lastByte_ + kCommandTimeout;
    if (lateAnnounceAt_) next = next ? std::min(*next, *lateAnnounceAt_) : *lateAnnounceAt_;
    if (state_ == DeviceState::Announcing) {
        auto t = stayInBootloader_ ? nextAnnounce_ : std::min(nextAnnounce_, announceUntil_);
        next = next ? std::min(*next, t) : t;
    }
    return next;
}

std::vector<OutputChunk> DeviceModel::takeOutput() {
    std::vector<OutputChunk> out;
    out.swap(output_);
    return out;
}

void DeviceModel::send(std::vector<std::uint8_t> bytes, std::uint64_t busyMicros) {
    if (faults_.silent) return;
    // The stray announce left before anything said after the handshake, so
    // it cannot reach the host behind it.
    if (lateAnnounceAt_) sendLateAnnounce();
    applyReplyFaults(bytes);
    applyNoise(bytes.data(), bytes.size(), true);
    sentSinceEntry_ += static_cast<std::uint32_t>(bytes.size());
    busySinceEntry_ += busyMicros;
    // Over USB the answer carries no line speed: the host hears it at any setting.
    output_.push_back(OutputChunk{busyMicros, usbCdc_ ? 0u : lineSpeed_, std::move(bytes)});
}

void DeviceModel::sendLateAnnounce() {
    lateAnnounceAt_.reset();
    // Not part of the reply it runs ahead of.
    const int replyTo = replyTo_;
    replyTo_ = -1;
    send({kAck});
    replyTo_ = replyTo;
    record(kAck, 0, 0, CommandResult::Event, "late announce reached the host");
}

void DeviceModel::applyReplyFaults(std::vector<std::uint8_t>& bytes) {
    if (replyTo_ < 0 || bytes.empty()) return;
    for (auto& f : faults_.aimed) {
        if (f.fired || f.kind == AimedFaultKind::FlipAddressBit || f.command != replyTo_) continue;
        if (++f.passed < f.nth) continue;
        f.fired = true;
        const std::size_t i = std::min<std::size_t>(f.index, bytes.size() - 1);
        const auto at = bytes.begin() + static_cast<std::ptrdiff_t>(i);
        switch (f.kind) {
        case AimedFaultKind::DropReplyByte: bytes.erase(at); break;
        case AimedFaultKind::DuplicateReplyByte: bytes.insert(at, *at); break;
        case AimedFaultKind::JunkBeforeReply: bytes.insert(bytes.begin(), f.value); break;
        case AimedFaultKind::CorruptReplyByte: *at ^= f.value ? f.value : 1; break;
        case AimedFaultKind::FlipAddressBit: break;
        }
        recordFault(static_cast<std::uint8_t>(replyTo_), describe(f), replyAddress());
    }
}

void DeviceModel::applyAddressFaults() {
    const std::uint8_t command = pending_[0];
    if (pending_.size() < 3 || !addressed(command)) return;
    for (auto& f : faults_.aimed) {
        if (f.fired || f.kind != AimedFaultKind::FlipAddressBit || f.command != command) continue;
        if (++f.passed < f.nth) continue;
        f.fired = true;
        const std::uint16_t sent = getU16BE(&pending_[1]);
        const auto heard = static_cast<std::uint16_t>(sent ^ (1u << (f.index & 15)));
        pending_[1] = static_cast<std::uint8_t>(heard >> 8);
        pending_[2] = static_cast<std::uint8_t>(heard & 0xFF);
        recordFault(command, describe(f) + ": address field " + hex(sent) + " heard as " + hex(heard), byteAddress(1));
    }
}

void DeviceModel::applyNoise(std::uint8_t* bytes, std::size_t n, bool toHost) {
    const LineNoise& noise = faults_.noise;
    if (!noiseArmed_ || noise.bitErrorRate <= 0) return;
    if (noise.direction == (toHost ? NoiseDirection::ToTracker : NoiseDirection::ToHost)) return;
    // A bit flips when a 64-bit draw falls below rate * 2^64.
    const double rate = std::min(noise.bitErrorRate, 0.5);
    const auto threshold = static_cast<std::uint64_t>(rate * 18446744073709551616.0);
    std::uint64_t& stream = toHost ? noiseToHost_ : noiseToTracker_;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t& b = bytes[i];
        std::uint8_t flips = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (nextRandom(stream) < threshold) flips |= static_cast<std::uint8_t>(1u << bit);
        if (flips == 0) continue;
        const std::uint8_t was = b;
        b ^= flips;
        recordFault(toHost && replyTo_ >= 0 ? static_cast<std::uint8_t>(replyTo_) : 0,
                    "noise: " + hex(was, 2) + (toHost ? " sent as " : " heard as ") + hex(b, 2),
                    toHost ? replyAddress() : 0);
    }
}

std::uint32_t DeviceModel::replyAddress() const {
    return addressed(replyTo_) && pending_.size() >= 3 ? byteAddress(1) : 0;
}

void DeviceModel::recordFault(std::uint8_t command, std::string note, std::uint32_t address) {
    // The traffic stays with the command it belongs to.
    log_.push_back(CommandLogEntry{command, address, 0, CommandResult::Fault, std::move(note), false, 0, 0,
                                   usbCdc_ ? 0u : lineSpeed_, 0});
}

void DeviceModel::record(std::uint8_t command, std::uint32_t address, std::uint32_t length, CommandResult result,
                         std::string note) {
    log_.push_back(CommandLogEntry{command, address, length, result, std::move(note), false, heardSinceEntry_,
                                   sentSinceEntry_, usbCdc_ ? 0u : lineSpeed_, busySinceEntry_});
    heardSinceEntry_ = sentSinceEntry_ = 0;
    busySinceEntry_ = 0;
}

CommandLogEntry DeviceModel::unloggedTraffic() const {
    return CommandLogEntry{0,
                           0,
                           0,
                           CommandResult::NoReply,
                           "traffic of no command",
                           false,
                           heardSinceEntry_,
                           sentSinceEntry_,
                           usbCdc_ ? 0u : lineSpeed_,
                           busySinceEntry_};
}

void DeviceModel::clearLog() {
    log_.clear();
    heardSinceEntry_ = sentSinceEntry_ = 0;
    busySinceEntry_ = 0;
}

}  // namespace varnel
