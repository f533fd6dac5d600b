#include "emulator/emulator_runner.h"

#include <algorithm>
#include <stdexcept>

#include "emulator/model/default_settings.h"
#include "emulator/model/line_speed.h"

namespace varnel {

namespace {

const EmulatedChip& chipOrThrow(const std::string& name) {
    const EmulatedChip* chip = findEmulatedChip(name);
    if (!chip) throw std::runtime_error("unknown chip: " + name);
    return *chip;
}

}  // namespace

EmulatorRunner::EmulatorRunner(const EmulatorOptions& options) : options_(options), model_(chipOrThrow(options.chip)) {
    model_.faults() = options.faults;
    model_.setAnnounceRepeats(options.faults.announceRepeats);
    model_.setLineNoise(options.faults.noise);
    if (options.firmwareSpeed != 0) model_.setFirmwareSpeed(options.firmwareSpeed);
    if (options.usbCdc) {
        if (!model_.chip().hasUsb) throw std::runtime_error("the " + options.chip + " board has no USB port");
        model_.setUsbCdc(true);
    }
    if (options.adapterLatencyMs != 0) adapter_.emplace(std::chrono::milliseconds(options.adapterLatencyMs));
    const EmulatedChip& chip = model_.chip();
    model_.setSensorBytes(options.volts ? voltageRawFor(chip, *options.volts) : chip.voltageRaw,
                          options.celsius ? temperatureRawFor(chip, *options.celsius) : chip.temperatureRaw);
    if (options.defaultSettings) {
        if (options.weather) writeDefaultWeatherSettings(model_.flash(), model_.chip());
        else writeDefaultSettings(model_.flash(), model_.chip());
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
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*next - Clock::now());
                timeoutMs = static_cast<int>(std::clamp<long long>(wait.count() + 1, 0, 100));
            }
        }
        if (auto held = adapter_ ? adapter_->deadline() : std::nullopt) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*held - Clock::now());
            timeoutMs = std::min(timeoutMs, static_cast<int>(std::max<long long>(wait.count(), 0)));
        }
        auto input = transport_.poll(timeoutMs);
        if (stopping_) break;
        // In the real-time model the device cannot answer bytes before they
        // have crossed the line, nor start an answer before the previous one
        // has left. The times are kept as deadlines and slept off once, just
        // before an answer goes out, so scheduling delays do not add up.
        const auto arrived = Clock::now();
        auto heardAt = arrived;
        if (input && options_.realtime && !options_.usbCdc) {
            std::uint32_t speed = input->speed;
            if (speed == 0) speed = lineSpeed();
            heardAt =
                std::max(arrived, inLineFree_) + std::chrono::microseconds(wireTimeMicros(input->bytes.size(), speed));
            inLineFree_ = heardAt;
        }

        std::vector<OutputChunk> output;
        bool hangUp = false;
        {
            std::lock_guard lock(mutex_);
            if (input) model_.receive(input->bytes.data(), input->bytes.size(), input->speed, arrived);
            model_.tick(arrived);
            output = model_.takeOutput();
            hangUp = model_.hungUp();
        }
        changed_.notify_all();

        for (const auto& chunk : output) {
            auto start = std::max(heardAt, outLineFree_);
            if (options_.realtime) start += std::chrono::microseconds(chunk.busyMicros);
            const std::uint32_t host = transport_.sessionUnsettled() ? 0 : transport_.hostSpeed();
            outLineFree_ = deliver(hearAtSpeed(chunk.bytes.data(), chunk.bytes.size(), chunk.speed, host),
                                   chunk.bytes.size(), chunk.speed, start);
        }
        sendDueAdapterPacket();
        if (hangUp) transport_.hangUp();
    }
    changed_.notify_all();
}

DeviceModel::Clock::time_point EmulatorRunner::deliver(const std::vector<std::uint8_t>& heard, std::size_t sentBytes,
                                                       std::uint32_t speed, DeviceModel::Clock::time_point start) {
    const bool timed = options_.realtime && speed != 0;
    const auto lastBitAt = [&](std::size_t n) {
        return start + std::chrono::microseconds(timed ? wireTimeMicros(n, speed) : 0);
    };
    if (!adapter_) {
        // The host has the answer once its last byte has crossed the line.
        if (options_.realtime) std::this_thread::sleep_until(lastBitAt(sentBytes));
        transport_.send(heard);
        return lastBitAt(sentBytes);
    }
    // Each byte reaches the adapter when its last bit has crossed the line;
    // a packet leaves when it fills up or when its timer runs out first.
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const auto at = lastBitAt(i + 1);
        if (auto held = adapter_->deadline(); held && *held <= at) {
            std::this_thread::sleep_until(*held);
            transport_.send(*adapter_->due(*held));
        }
        for (const auto& packet : adapter_->arrive(&heard[i], 1, at)) {
            std::this_thread::sleep_until(at);
            transport_.send(packet);
        }
    }
    if (options_.realtime) std::this_thread::sleep_until(lastBitAt(sentBytes));
    return lastBitAt(sentBytes);
}

void EmulatorRunner::sendDueAdapterPacket() {
    if (!adapter_) return;
    if (auto packet = adapter_->due(DeviceModel::Clock::now())) transport_.send(*packet);
}

std::vector<std::uint8_t> EmulatorRunner::flash() const {
    std::lock_guard lock(mutex_);
    return model_.flash().cells();
}

std::vector<std::uint8_t> EmulatorRunner::readFlash(std::uint32_t address, std::size_t n) const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = model_.flash().read(address + static_cast<std::uint32_t>(i));
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

std::vector<CommandLogEntry> EmulatorRunner::trafficLog() const {
    std::lock_guard lock(mutex_);
    auto log = model_.log();
    log.push_back(model_.unloggedTraffic());
    return log;
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

void EmulatorRunner::setLineNoise(const LineNoise& noise) {
    std::lock_guard lock(mutex_);
    model_.setLineNoise(noise);
}

void EmulatorRunner::addAimedFault(const AimedFault& fault) {
    std::lock_guard lock(mutex_);
    model_.addAimedFault(fault);
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
