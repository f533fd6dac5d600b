#include "emulator/emulator_runner.h"

#include <algorithm>
#include <stdexcept>

#include "emulator/default_settings.h"
#include "emulator/line_speed.h"

namespace varnel {

namespace {

const EmulatedChip& chipOrThrow(const std::string& name) {
    const EmulatedChip* chip = findEmulatedChip(name);
    if (!chip) throw std::runtime_error("unknown chip: " + name);
    return *chip;
}

void sleepMicros(std::uint64_t us) {
    if (us) std::this_thread::sleep_for(std::chrono::microseconds(us));
}

}  // namespace

EmulatorRunner::EmulatorRunner(const EmulatorOptions& options)
    : options_(options), model_(chipOrThrow(options.chip)) {
    model_.faults() = options.faults;
    model_.setAnnounceRepeats(options.faults.announceRepeats);
    if (options.firmwareSpeed != 0) model_.setFirmwareSpeed(options.firmwareSpeed);
    if (options.usbCdc) {
        if (!model_.chip().hasUsb)
            throw std::runtime_error("the " + options.chip + " board has no USB port");
        model_.setUsbCdc(true);
    }
    const EmulatedChip& chip = model_.chip();
    model_.setSensorBytes(options.volts ? voltageRawFor(chip, *options.volts) : chip.voltageRaw,
                          options.celsius ? temperatureRawFor(chip, *options.celsius) : chip.temperatureRaw);
    if (options.defaultSettings) {
        if (options.weather)
            writeDefaultWeatherSettings(model_.flash(), model_.chip());
        else
            writeDefaultSettings(model_.flash(), model_.chip());
    }
    if (options.startInBootloader) model_.startInBootloader(DeviceModel::Clock::now());
    if (!options.linkPath.empty() && !transport_.linkTo(options.linkPath))
        throw std::runtime_error("cannot link " + options.linkPath + " to " + slavePath());
}

EmulatorRunner::~EmulatorRunner() { stop(); }

void EmulatorRunner::start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    thread_ = std::thread([this] { serve(); });
}

void EmulatorRunner::stop() {
    stopping_ = true;
    transport_.wake();
    if (thread_.joinable()) thread_.join();
}

void EmulatorRunner::serve() {
    using Clock = DeviceModel::Clock;
    while (!stopping_ && !transport_.isHungUp()) {
        int timeoutMs = 100;
        {
            std::lock_guard lock(mutex_);
            if (auto next = model_.nextDeadline()) {
                const auto wait =
                    std::chrono::duration_cast<std::chrono::milliseconds>(*next - Clock::now());
                timeoutMs = static_cast<int>(std::clamp<long long>(wait.count() + 1, 0, 100));
            }
        }
        auto input = transport_.poll(timeoutMs);
        if (stopping_) break;
        if (input && options_.realtime && !options_.usbCdc) {
            // The device cannot act on bytes before they have crossed the wire.
            std::uint32_t speed = input->speed;
            if (speed == 0) speed = lineSpeed();
            sleepMicros(wireTimeMicros(input->bytes.size(), speed));
        }

        std::vector<OutputChunk> output;
        bool hangUp = false;
        {
            std::lock_guard lock(mutex_);
            const auto now = Clock::now();
            if (input) model_.receive(input->bytes.data(), input->bytes.size(), input->speed, now);
            model_.tick(now);
            output = model_.takeOutput();
            hangUp = model_.hungUp();
        }
        changed_.notify_all();

        for (const auto& chunk : output) {
            if (options_.realtime) sleepMicros(chunk.busyMicros);
            const std::uint32_t host = transport_.sessionUnsettled() ? 0 : transport_.hostSpeed();
            transport_.send(hearAtSpeed(chunk.bytes.data(), chunk.bytes.size(), chunk.speed, host));
            if (options_.realtime) sleepMicros(wireTimeMicros(chunk.bytes.size(), chunk.speed));
        }
        if (hangUp) transport_.hangUp();
    }
    changed_.notify_all();
}

std::vector<std::uint8_t> EmulatorRunner::flash() const {
    std::lock_guard lock(mutex_);
    return model_.flash().cells();
}

std::vector<std::uint8_t> EmulatorRunner::readFlash(std::uint32_t address, std::size_t n) const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = model_.flash().read(address + static_cast<std::uint32_t>(i));
    return out;
}

void EmulatorRunner::loadFlash(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(mutex_);
    model_.flash().load(address, bytes.data(), bytes.size());
}

DeviceInfo EmulatorRunner::deviceInfo() const {
    std::lock_guard lock(mutex_);
    return model_.deviceInfo();
}

void EmulatorRunner::setDeviceId(const std::string& id) {
    std::lock_guard lock(mutex_);
    model_.setDeviceId(id);
}

DeviceState EmulatorRunner::state() const {
    std::lock_guard lock(mutex_);
    return model_.state();
}

std::uint32_t EmulatorRunner::lineSpeed() const {
    std::lock_guard lock(mutex_);
    return model_.lineSpeed();
}

DeviceOutputs EmulatorRunner::outputs() const {
    std::lock_guard lock(mutex_);
    return model_.outputs();
}

std::vector<CommandLogEntry> EmulatorRunner::commandLog() const {
    std::lock_guard lock(mutex_);
    return model_.log();
}

std::string EmulatorRunner::commandLogText() const {
    std::lock_guard lock(mutex_);
    return varnel::commandLogText(model_.log());
}

void EmulatorRunner::clearLog() {
    std::lock_guard lock(mutex_);
    model_.clearLog();
}

bool EmulatorRunner::hungUp() const {
    std::lock_guard lock(mutex_);
    return model_.hungUp();
}

void EmulatorRunner::setSilent(bool silent) {
    std::lock_guard lock(mutex_);
    model_.faults().silent = silent;
}

void EmulatorRunner::setNakEraseAt(std::optional<std::uint32_t> address) {
    std::lock_guard lock(mutex_);
    model_.faults().nakEraseAt = address;
}

void EmulatorRunner::setNakWriteAt(std::optional<std::uint32_t> address) {
    std::lock_guard lock(mutex_);
    model_.faults().nakWriteAt = address;
}

void EmulatorRunner::setCorruptReadAt(std::optional<std::uint32_t> address) {
    std::lock_guard lock(mutex_);
    model_.faults().corruptReadAt = address;
}

void EmulatorRunner::setHangupAfter(std::optional<std::uint64_t> bytes) {
    std::lock_guard lock(mutex_);
    model_.faults().hangupAfter = bytes;
}

void EmulatorRunner::setAnnounceRepeats(std::uint32_t k) {
    std::lock_guard lock(mutex_);
    model_.setAnnounceRepeats(k);
}

void EmulatorRunner::setFirmwareSpeed(std::uint32_t speed) {
    std::lock_guard lock(mutex_);
    model_.setFirmwareSpeed(speed);
}

void EmulatorRunner::powerCycle() {
    {
        std::lock_guard lock(mutex_);
        model_.powerCycle(DeviceModel::Clock::now());
    }
    transport_.wake();
}

void EmulatorRunner::startInBootloader(bool stay) {
    {
        std::lock_guard lock(mutex_);
        model_.startInBootloader(DeviceModel::Clock::now(), stay);
    }
    transport_.wake();
}

bool EmulatorRunner::waitForState(DeviceState state, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return model_.state() == state; });
}

}  // namespace varnel
