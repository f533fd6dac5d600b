#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/device_target.h"

namespace varnel {

class SerialPort;

// The test commands of the tracker firmware: one byte each, at or above 0x80.
namespace diag_command {
inline constexpr std::uint8_t kRedLedOn = 0x80, kRedLedOff = 0x81;
inline constexpr std::uint8_t kGreenLedOn = 0x82, kGreenLedOff = 0x83;
inline constexpr std::uint8_t kTxLedOn = 0x84, kTxLedOff = 0x85;
inline constexpr std::uint8_t kPowerOn = 0x86, kPowerOff = 0x87;
inline constexpr std::uint8_t kSetAudioLevel = 0x88;
inline constexpr std::uint8_t kTonePair = 0x89;  // then 0: 1200 baud pair, 1: 300 baud pair
inline constexpr std::uint8_t kReadVoltage = 0x8A;
inline constexpr std::uint8_t kReadTemperature = 0x8B;
inline constexpr std::uint8_t kReadRxLevel1x = 0x8C;  // + gain choice (0 1x, 1 4x, 2 16x)
inline constexpr std::uint8_t kHighTone = 0xC0;
inline constexpr std::uint8_t kLowTone = 0xC1;
inline constexpr std::uint8_t kBothTones = 0xC2;
inline constexpr std::uint8_t kStopTones = 0xFF;
}  // namespace diag_command

enum class DiagOutput { RedLed, GreenLed, TxLed, Power };
enum class TonePair { Baud1200 = 0, Baud300 = 1 };

// The readings as the diagnostics show them.
struct SensorReadings {
    // "--.--v" and "-- C" when the tracker did not answer, or when its
    // answers never agreed (a noisy line).
    std::string voltage;              // "12.00v"
    std::string temperature;          // "25 C", " 77 F"
    std::optional<int> receiveLevel;  // JM60 only: 0..254
    bool answered = true;             // false: the tracker stopped answering during the reading
};

// Supply voltage from the raw byte, by the chip's divider.
std::string formatVoltage(std::uint8_t raw, TargetKind kind);
// Temperature from the raw byte: JM60 and JM128 report degrees Celsius
// offset by 100, the others an absolute scale of 1.9608 per step.
std::string formatTemperature(std::uint8_t raw, TargetKind kind, bool metric);
// Received audio: distance of the sample from mid-scale, doubled, in one byte.
int receiveLevel(std::uint8_t sample);

// Only the JM60 board samples the receiver's audio (level and gain).
inline bool showsReceiveLevel(TargetKind kind) { return kind == KindJM60; }

// The command sequences of the adjustment and diagnostics dialog. It holds
// what the dialog's controls hold (boxes, tone pair, level, gain) and sends
// the bytes each change calls for, in the firmware's order.
class DiagnosticsSession {
public:
    DiagnosticsSession(SerialPort& port, TargetKind kind, bool metric);

    // Reads the sensors, then tones off, transmit and green LEDs off, red LED
    // on, the audio level and the 1200 baud tone pair.
    SensorReadings open(std::uint8_t audioLevel, int gainChoice);
    // Leaves the red LED on and the others and the tones off. A power output
    // switched on here is switched off first, so nothing the user can no
    // longer see stays on (the next opening shows its box unticked).
    void close();

    void setOutput(DiagOutput output, bool on);
    void setTones(bool high, bool low);
    void chooseTonePair(TonePair pair);
    // The slider was released at this level.
    void setAudioLevel(std::uint8_t level);
    // Nothing is sent; the next reading uses it. A choice other than 0 (1x)
    // or 1 (4x) is 16x, as the window shows it.
    void setGain(int gainChoice) { gain_ = gainChoice == 0 || gainChoice == 1 ? gainChoice : 2; }

    // One reading of every sensor. A tracker that does not answer costs one
    // read time-out, not one per sensor: the rest of the reading is skipped.
    SensorReadings refreshSensors();
    // The 250 ms poll: no reading while a tone is selected. While the tracker
    // stays silent only every kSilentPollInterval-th poll asks it again, so a
    // silent tracker holds up the window for one time-out every two seconds
    // instead of four times a second.
    std::optional<SensorReadings> poll();
    static constexpr int kSilentPollInterval = 8;

    bool output(DiagOutput o) const { return outputs_[static_cast<int>(o)]; }
    bool highTone() const { return high_; }
    bool lowTone() const { return low_; }
    std::uint8_t audioLevel() const { return level_; }
    int gain() const { return gain_; }
    bool showsReceiveLevel() const { return varnel::showsReceiveLevel(kind_); }
    TargetKind kind() const { return kind_; }

private:
    void toneUpdate();
    // A command byte and its one-byte answer; nothing when none came.
    std::optional<std::uint8_t> ask(std::uint8_t command);
    // A steady reading: asked until two answers agree within one count, at
    // most kSteadyAsks times. value empty when none agreed.
    struct Steady {
        bool answered;
        std::optional<std::uint8_t> value;
    };
    static constexpr int kSteadyAsks = 4;
    Steady askSteady(std::uint8_t command);
    SensorReadings readSensors();
    SensorReadings silentReadings() const;

    SerialPort& port_;
    TargetKind kind_;
    bool metric_;
    bool outputs_[4] = {false, false, false, false};
    bool high_ = false, low_ = false;
    bool toneRunning_ = false;
    std::uint8_t level_ = 0;
    int gain_ = 0;
    int silentPolls_ = 0;  // polls since the tracker last failed to answer; 0: it answers
};

}  // namespace varnel
