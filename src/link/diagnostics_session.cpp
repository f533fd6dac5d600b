#include "link/diagnostics_session.h"

#include <cstdio>
#include <cstdlib>

#include "serial/serial_port.h"

namespace varnel {

namespace dc = diag_command;

namespace {

// Volts per raw step: the supply divider differs between the boards.
double voltageDivisor(TargetKind kind) {
    switch (kind) {
    case KindKX8: return 17.0;
    case KindJL16: return 13.783;
    default: return 12.75;
    }
}

std::string format(const char* fmt, double v) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, v);
    return text;
}

constexpr std::uint8_t kOnByte[4] = {dc::kRedLedOn, dc::kGreenLedOn, dc::kTxLedOn, dc::kPowerOn};
constexpr std::uint8_t kOffByte[4] = {dc::kRedLedOff, dc::kGreenLedOff, dc::kTxLedOff, dc::kPowerOff};

}  // namespace

std::string formatVoltage(std::uint8_t raw, TargetKind kind) { return format("%.2fv", raw / voltageDivisor(kind)); }

std::string formatTemperature(std::uint8_t raw, TargetKind kind, bool metric) {
    if (kind == KindJM60 || kind == KindJM128) {
        const int c = raw - 100;
        if (metric) {
            char text[16];
            std::snprintf(text, sizeof text, "%d C", c);
            return text;
        }
        return format("%3.0f F", c * 1.8 + 32);
    }
    const double c = raw * 1.9608 - 273.15;
    return metric ? format("%.0f C", c) : format("%.0f F", c * 9 / 5 + 32);
}

int receiveLevel(std::uint8_t sample) { return (2 * std::abs(sample - 128)) % 256; }

DiagnosticsSession::DiagnosticsSession(SerialPort& port, TargetKind kind, bool metric)
    : port_(port), kind_(kind), metric_(metric) {}

std::optional<std::uint8_t> DiagnosticsSession::ask(std::uint8_t command) {
    // As exchangeByte, but a time-out is told apart from an answer of 0xFF.
    port_.flushPort(1);
    if (port_.writeBytes(&command, 1) != 1) return std::nullopt;
    std::uint8_t answer = 0;
    if (port_.readBytes(&answer, 1) != 1) return std::nullopt;
    return answer;
}

SensorReadings DiagnosticsSession::silentReadings() const {
    SensorReadings r;
    r.voltage = "--.--v";
    r.temperature = metric_ ? "-- C" : "-- F";
    if (kind_ == KindJM60) r.receiveLevel = 0;
    r.answered = false;
    return r;
}

DiagnosticsSession::Steady DiagnosticsSession::askSteady(std::uint8_t command) {
    // The firmware's answers carry no check, and one flipped bit on the line
    // would show as a wrong reading. A supply or temperature reading does
    // not move between two asks but by its converter's own last count, so
    // an answer that close to an earlier one is taken and shown.
    std::uint8_t answers[kSteadyAsks] = {};
    for (int asked = 0; asked < kSteadyAsks; ++asked) {
        const std::optional<std::uint8_t> answer = ask(command);
        if (!answer) return {false, std::nullopt};
        for (int i = 0; i < asked; ++i)
            if (std::abs(*answer - answers[i]) <= 1) return {true, answer};
        answers[asked] = *answer;
    }
    return {true, std::nullopt};
}

SensorReadings DiagnosticsSession::readSensors() {
    const Steady voltage = askSteady(dc::kReadVoltage);
    if (!voltage.answered) return silentReadings();
    const Steady temperature = askSteady(dc::kReadTemperature);
    if (!temperature.answered) return silentReadings();
    const SensorReadings unknown = silentReadings();
    SensorReadings r;
    r.voltage = voltage.value ? formatVoltage(*voltage.value, kind_) : unknown.voltage;
    r.temperature = temperature.value ? formatTemperature(*temperature.value, kind_, metric_) : unknown.temperature;
    if (kind_ == KindJM60) {
        const auto sample = ask(static_cast<std::uint8_t>(dc::kReadRxLevel1x + gain_));
        if (!sample) return silentReadings();
        r.receiveLevel = receiveLevel(*sample);
    }
    return r;
}

SensorReadings DiagnosticsSession::refreshSensors() {
    SensorReadings r = readSensors();
    silentPolls_ = r.answered ? 0 : 1;
    return r;
}

std::optional<SensorReadings> DiagnosticsSession::poll() {
    // A reading in the middle of a tone would break it up.
    if (high_ || low_) return std::nullopt;
    if (silentPolls_ > 0 && silentPolls_++ % kSilentPollInterval != 0) return std::nullopt;
    return refreshSensors();
}

SensorReadings DiagnosticsSession::open(std::uint8_t audioLevel, int gainChoice) {
    toneRunning_ = false;
    level_ = audioLevel;
    setGain(gainChoice);
    SensorReadings readings = refreshSensors();
    for (std::uint8_t b : {dc::kStopTones, dc::kTxLedOff, dc::kGreenLedOff, dc::kRedLedOn}) port_.exchangeByte(b);
    port_.sendByte(dc::kSetAudioLevel);
    port_.sendByte(level_);
    port_.receiveByte();
    port_.sendByte(dc::kTonePair);
    port_.sendByte(static_cast<std::uint8_t>(TonePair::Baud1200));
    port_.receiveByte();
    outputs_[static_cast<int>(DiagOutput::RedLed)] = true;
    return readings;
}

void DiagnosticsSession::close() {
    if (output(DiagOutput::Power)) port_.exchangeByte(dc::kPowerOff);
    for (std::uint8_t b : {dc::kStopTones, dc::kTxLedOff, dc::kGreenLedOff, dc::kRedLedOn}) port_.exchangeByte(b);
    high_ = low_ = toneRunning_ = false;
    for (bool& on : outputs_) on = false;
    outputs_[static_cast<int>(DiagOutput::RedLed)] = true;
}

void DiagnosticsSession::toneUpdate() {
    if (high_) {
        port_.sendByte(low_ ? dc::kBothTones : dc::kHighTone);
        toneRunning_ = true;
    } else if (low_) {
        port_.sendByte(dc::kLowTone);
        toneRunning_ = true;
    } else {
        port_.exchangeByte(dc::kStopTones);
        // A running tone sends one byte more when it stops.
        if (toneRunning_) port_.receiveByte();
        toneRunning_ = false;
    }
}

void DiagnosticsSession::setOutput(DiagOutput output, bool on) {
    const int i = static_cast<int>(output);
    outputs_[i] = on;
    port_.exchangeByte(on ? kOnByte[i] : kOffByte[i]);
    toneUpdate();
}

void DiagnosticsSession::setTones(bool high, bool low) {
    high_ = high;
    low_ = low;
    toneUpdate();
}

void DiagnosticsSession::chooseTonePair(TonePair pair) {
    port_.exchangeByte(dc::kStopTones);
    port_.sendByte(dc::kTonePair);
    port_.sendByte(static_cast<std::uint8_t>(pair));
    port_.receiveByte();
    toneUpdate();
}

void DiagnosticsSession::setAudioLevel(std::uint8_t level) {
    level_ = level;
    port_.sendByte(dc::kSetAudioLevel);
    port_.receiveByte();
    port_.sendByte(level_);
    port_.receiveByte();
    toneUpdate();
}

}  // namespace varnel
