#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/device_info.h"
#include "emulator/model/command_log.h"
#include "emulator/model/emulated_chip.h"
#include "emulator/model/fault_plan.h"
#include "emulator/model/flash_memory.h"

namespace varnel {

// What the tracker is running.
enum class DeviceState : std::uint8_t {
    Firmware,    // the application: answers the diagnostic bytes, listens for the reset request
    Announcing,  // the bootloader just started and sends 0xFC until the host answers
    Bootloader,  // handshake done: memory commands
};

const char* deviceStateName(DeviceState s);

// Bytes the device sends, after busyMicros of its own work (erasing,
// programming), at the speed it was talking at.
struct OutputChunk {
    std::uint64_t busyMicros = 0;
    std::uint32_t speed = 0;
    std::vector<std::uint8_t> bytes;
};

// What the diagnostic commands have switched on.
struct DeviceOutputs {
    bool redLed = false;
    bool greenLed = false;
    bool txLed = false;
    bool power = false;
    std::uint8_t audioLevel = 128;
    std::uint8_t tonePair = 0;  // 0: 1200 baud pair, 1: 300 baud pair
    bool toneHigh = false;
    bool toneLow = false;
};

// One emulated tracker, independent of how its bytes travel. The transport
// feeds received bytes with the speed they were sent at and collects what
// the device answers; tick() drives the bootloader's announce and time-outs.
class DeviceModel {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::uint8_t kAck = 0xFC;
    static constexpr std::uint8_t kNak = 0x3F;  // anything but 0xFC is a refusal
    static constexpr auto kAnnouncePeriod = std::chrono::milliseconds(50);
    static constexpr auto kAnnounceWindow = std::chrono::seconds(3);
    static constexpr auto kCommandTimeout = std::chrono::seconds(1);
    static constexpr std::uint64_t kEraseMicros = 20000;  // one erase block
    static constexpr std::uint64_t kProgramMicrosPerByte = 40;

    explicit DeviceModel(const EmulatedChip& chip);

    // Bytes from the host, sent at hostSpeed (0: unknown, taken as the
    // speed the device listens at).
    void receive(const std::uint8_t* data, std::size_t n, std::uint32_t hostSpeed, Clock::time_point now);
    void tick(Clock::time_point now);
    // When tick() next has something to do.
    std::optional<Clock::time_point> nextDeadline() const;
    std::vector<OutputChunk> takeOutput();

    // Power-on straight into the bootloader (a board without valid firmware
    // stays there and announces until answered).
    void startInBootloader(Clock::time_point now, bool stay = true);
    // Power cycle: back to the firmware, outputs off, link at firmware speed.
    void powerCycle(Clock::time_point now);

    // The speed the running firmware listens at (the chip's own by default).
    // A firmware that is running switches at once.
    void setFirmwareSpeed(std::uint32_t speed);
    std::uint32_t firmwareSpeed() const { return firmwareSpeed_; }
    // A tracker on its own USB port (CDC): the host's line speed means
    // nothing, every byte is heard and every answer arrives whatever it set.
    void setUsbCdc(bool on) { usbCdc_ = on; }
    bool usbCdc() const { return usbCdc_; }
    // Answer the next k 'I' (and the first k after every later handshake)
    // with 0xFC instead of the identification record.
    void setAnnounceRepeats(std::uint32_t k);
    // Line noise from the next byte (armed by the next handshake if none
    // happened yet), its random streams started afresh from the seed.
    void setLineNoise(const LineNoise& noise);
    // A single fault aimed at a reply or a command; counted from now.
    void addAimedFault(const AimedFault& fault) { faults_.aimed.push_back(fault); }

    DeviceState state() const { return state_; }
    std::uint32_t lineSpeed() const { return lineSpeed_; }
    const EmulatedChip& chip() const { return chip_; }
    const DeviceInfo& deviceInfo() const { return info_; }
    void setDeviceId(const std::string& id) { info_.deviceId = id; }
    FlashMemory& flash() { return flash_; }
    const FlashMemory& flash() const { return flash_; }
    FaultPlan& faults() { return faults_; }
    const DeviceOutputs& outputs() const { return outputs_; }
    // The raw bytes the voltage and temperature commands answer with (the
    // board's 12.0 V and 25 C unless set).
    void setSensorBytes(std::uint8_t voltageRaw, std::uint8_t temperatureRaw);
    const std::vector<CommandLogEntry>& log() const { return log_; }
    // The traffic since the last entry (bytes no command has claimed yet,
    // such as a nudge or the tail of a half-heard frame), as an entry of its
    // own, so a wire bound over the log can count every byte.
    CommandLogEntry unloggedTraffic() const;
    void clearLog();
    bool hungUp() const { return hungUp_; }
    std::uint64_t bytesReceived() const { return bytesReceived_; }

    // The identification record as it goes on the wire.
    std::vector<std::uint8_t> identificationReply() const;

private:
    void hear(std::uint8_t b, Clock::time_point now);
    void firmwareByte(std::uint8_t b, Clock::time_point now);
    void bootloaderByte(std::uint8_t b, Clock::time_point now);
    bool diagnosticsByte(std::uint8_t b);  // true when the byte was a diagnostic command or operand
    bool resetRequestHeard(std::uint8_t b);
    void enterAnnouncing(Clock::time_point now, const char* why);
    std::size_t commandLength() const;
    void runCommand(Clock::time_point now);
    void cmdRead();
    void cmdErase();
    void cmdWrite(bool checked);
    void cmdCommitStaged();
    bool writableRange(std::uint32_t address, std::uint32_t length, std::string& why) const;
    void send(std::vector<std::uint8_t> bytes, std::uint64_t busyMicros = 0);
    void sendLateAnnounce();
    void applyReplyFaults(std::vector<std::uint8_t>& bytes);
    void applyAddressFaults();
    void applyNoise(std::uint8_t* bytes, std::size_t n, bool toHost);
    // A fault entry; address: the command's (byte address), 0 when it has none.
    void recordFault(std::uint8_t command, std::string note, std::uint32_t address = 0);
    std::uint32_t replyAddress() const;  // the address of the command being answered, or 0
    void record(std::uint8_t command, std::uint32_t address, std::uint32_t length, CommandResult result,
                std::string note = {});
    std::uint32_t byteAddress(std::size_t fieldOffset) const;

    const EmulatedChip& chip_;
    DeviceInfo info_;
    FlashMemory flash_;
    FaultPlan faults_;
    DeviceOutputs outputs_;
    DeviceState state_ = DeviceState::Firmware;
    std::uint32_t lineSpeed_;
    std::uint32_t firmwareSpeed_;
    bool usbCdc_ = false;
    std::uint32_t repeatsLeft_ = 0;  // 'I' still to be answered with 0xFC
    bool repeatUnanswered_ = false;  // a repeated announce the host has not answered yet
    bool stayInBootloader_ = false;
    bool toneRunning_ = false;
    int diagnosticOperandFor_ = -1;         // command byte waiting for its operand
    std::vector<std::uint8_t> pending_;     // bootloader command being received
    std::array<std::uint8_t, 9> recent_{};  // the last bytes heard, for the reset request
    std::size_t recentCount_ = 0;
    std::uint8_t receiveSample_ = 0;
    std::uint8_t voltageRaw_;
    std::uint8_t temperatureRaw_;
    Clock::time_point lastByte_{};
    Clock::time_point nextAnnounce_{};
    Clock::time_point announceUntil_{};
    std::optional<Clock::time_point> lateAnnounceAt_;  // the stray announce still on its way
    std::vector<OutputChunk> output_;
    // Line faults: the command whose reply is being sent (-1: none, such as
    // an announce), whether the noise has started, and its two random
    // streams (one a direction, so noise one way only sees the same errors).
    int replyTo_ = -1;
    bool noiseArmed_ = false;
    std::uint64_t noiseToHost_ = 0;
    std::uint64_t noiseToTracker_ = 0;
    std::vector<CommandLogEntry> log_;
    std::uint64_t bytesReceived_ = 0;
    bool hungUp_ = false;
    // Traffic not yet in the log: it goes into the next entry.
    std::uint32_t heardSinceEntry_ = 0;
    std::uint32_t sentSinceEntry_ = 0;
    std::uint64_t busySinceEntry_ = 0;
};

}  // namespace varnel
