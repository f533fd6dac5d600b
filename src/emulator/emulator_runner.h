#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "emulator/model/device_model.h"
#include "emulator/model/fault_plan.h"
#include "emulator/pty_transport.h"
#include "emulator/model/usb_adapter.h"

namespace varnel {

struct EmulatorOptions {
    std::string chip = "AP64";
    std::string linkPath;                // optional stable symlink to the pty
    bool startInBootloader = false;      // a board without firmware: announces until answered
    bool realtime = false;               // wire time per byte, erase and program times
    bool defaultSettings = true;         // believable factory settings and script
    bool weather = false;                // weather-station firmware (family 1) instead of a tracker
    std::uint32_t firmwareSpeed = 0;     // the running firmware's line speed; 0: the chip's own
    bool usbCdc = false;                 // on the board's USB port: line speeds mean nothing (JM chips)
    std::uint32_t adapterLatencyMs = 0;  // behind a USB-serial adapter with this latency timer; 0: none
    FaultPlan faults;
    std::optional<double> volts;    // supply voltage the sensors report (default 12.0)
    std::optional<double> celsius;  // temperature the sensors report (default 25)
};

// One emulated tracker on a pseudo-terminal, served by a background thread.
// Everything here may be called from any thread; the model is reached under
// a lock. The destructor stops the thread and removes the link.
class EmulatorRunner {
public:
    // Throws std::runtime_error for an unknown chip, USB on a chip without
    // it, or when no pty can be had.
    explicit EmulatorRunner(const EmulatorOptions& options);
    ~EmulatorRunner();
    EmulatorRunner(const EmulatorRunner&) = delete;
    EmulatorRunner& operator=(const EmulatorRunner&) = delete;

    void start();
    void stop();

    // The device path the host opens (the pty slave).
    const std::string& slavePath() const { return transport_.slavePath(); }

    std::vector<std::uint8_t> flash() const;
    std::vector<std::uint8_t> readFlash(std::uint32_t address, std::size_t n) const;
    // Stores bytes as they are, without flash rules (setting up a test).
    void loadFlash(std::uint32_t address, const std::vector<std::uint8_t>& bytes);

    DeviceInfo deviceInfo() const;
    void setDeviceId(const std::string& id);
    DeviceState state() const;
    std::uint32_t lineSpeed() const;
    DeviceOutputs outputs() const;

    std::vector<CommandLogEntry> commandLog() const;
    // The log and, as a last entry, traffic no entry holds yet: for wire bounds.
    std::vector<CommandLogEntry> trafficLog() const;
    std::string commandLogText() const;
    void clearLog();
    bool hungUp() const;

    // Fault injection, effective from the next byte.
    void setSilent(bool silent);
    void setNakEraseAt(std::optional<std::uint32_t> address);
    void setNakWriteAt(std::optional<std::uint32_t> address);
    void setCorruptReadAt(std::optional<std::uint32_t> address);
    void setHangupAfter(std::optional<std::uint64_t> bytes);
    // The next k 'I' (and the first k after each handshake) get 0xFC.
    void setAnnounceRepeats(std::uint32_t k);
    void setFirmwareSpeed(std::uint32_t speed);
    // Line noise (from the first handshake on) and single aimed faults.
    void setLineNoise(const LineNoise& noise);
    void addAimedFault(const AimedFault& fault);

    // Power cycle (firmware running again) or power-on into the bootloader.
    void powerCycle();
    void startInBootloader(bool stay = true);

    // Waits until the device is in `state` (true) or the time is up (false).
    bool waitForState(DeviceState state, std::chrono::milliseconds timeout) const;

    // Runs f(DeviceModel&) under the lock, for anything not covered above.
    template <class F>
    auto withModel(F&& f) {
        std::lock_guard lock(mutex_);
        return f(model_);
    }

private:
    void serve();
    // The device's answer on its way to the host, through the adapter when
    // there is one, starting on the line at `start`; returns when its last
    // bit has left.
    DeviceModel::Clock::time_point deliver(const std::vector<std::uint8_t>& heard, std::size_t sentBytes,
                                           std::uint32_t speed, DeviceModel::Clock::time_point start);
    void sendDueAdapterPacket();

    EmulatorOptions options_;
    PtyTransport transport_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    DeviceModel model_;
    // Touched by the serving thread only: the adapter, and when each
    // direction of the line is free again in the real-time model.
    std::optional<UsbAdapterModel> adapter_;
    DeviceModel::Clock::time_point inLineFree_{};
    DeviceModel::Clock::time_point outLineFree_{};
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

}  // namespace varnel
