#include "link_cases.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>

#include "config/device_target.h"
#include "config/settings_packing.h"
#include "core/user_interface.h"
#include "emulator/emulator_runner.h"
#include "link/bin_export.h"
#include "link/boot_link.h"
#include "link/device_configuration.h"
#include "link/posix_serial_port.h"
#include "link/staged_write.h"
#include "link/system_serial_port.h"
#include "link/write_progress.h"
#include "session/session.h"

namespace varnel::bench {

namespace {

// Keeps what the link says; "Done." after an export is its success.
class BenchUi : public UserInterface {
public:
    std::vector<std::string> messages;
    void message(const std::string& text, MessageKind = MessageKind::Warning) override { messages.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
};

// One emulated tracker in the real-time model, connected at its fast speed.
class BenchDevice {
public:
    BenchDevice(const std::string& chip, int adapterLatencyMs)
        : emu_(options(chip, adapterLatencyMs)), latencyMs_(adapterLatencyMs) {
        emu_.start();
        session_.port = makeSystemSerialPort();
        BootLink link(session_, ui_);
        session_.link.linkAbort = LinkState::kAbortRunning;
        if (link.connect(emu_.slavePath(), true) < 0)
            throw std::runtime_error("no connection to the emulated " + chip);
        session_.link.linkAbort = LinkState::kAbortIdle;
        selectTarget(session_.target, session_.link.chipName);
    }
    ~BenchDevice() {
        BootLink link(session_, ui_);
        link.leaveBootloader();
        session_.port->closePort();
    }

    Session& session() { return session_; }
    BenchUi& ui() { return ui_; }

    // Runs op once with a clean log; its time and the wire bound of its traffic.
    void time(CaseRuns& into, const std::function<int(BootLink&)>& op, const char* expected = nullptr) {
        BootLink link(session_, ui_);
        ui_.messages.clear();
        emu_.clearLog();
        const auto start = std::chrono::steady_clock::now();
        const int rc = op(link);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const bool saidOnly = expected ? ui_.messages == std::vector<std::string>{expected}
                                       : ui_.messages.empty();
        if (rc != 0 || !saidOnly) {
            into.failure = ui_.messages.empty() ? "failed" : ui_.messages.front();
            return;
        }
        into.seconds.push_back(took.count());
        into.boundSeconds.push_back(
            static_cast<double>(wireBoundMicros(emu_.commandLog(), std::chrono::milliseconds(latencyMs_))) / 1e6);
    }

private:
    static EmulatorOptions options(const std::string& chip, int adapterLatencyMs) {
        EmulatorOptions o;
        o.chip = chip;
        o.realtime = true;
        o.adapterLatencyMs = static_cast<std::uint32_t>(adapterLatencyMs);
        return o;
    }

    EmulatorRunner emu_;
    int latencyMs_;
    Session session_;
    BenchUi ui_;
};

// A firmware image over the chip's whole programmable range, as a build
// for that chip would fill it.
void fillFirmware(Session& s) {
    const DeviceInfo& info = s.link.deviceInfo;
    const std::uint32_t end = s.target.kind == KindJM128 ? std::uint32_t{info.validEnd} * 4 : info.validEnd;
    std::mt19937 random(end);
    s.image.reset();
    for (std::uint32_t a = info.validStart; a < end; ++a) {
        s.image.bytes[a] = static_cast<std::uint8_t>(random());
        s.image.touched[a] = kTouchedData;
    }
}

CaseRuns newCase(const char* name, const std::string& chip, int latency) {
    CaseRuns c;
    c.name = name;
    c.chip = chip;
    c.adapterLatencyMs = latency;
    return c;
}

void settingsCases(BenchDevice& d, int runs, int latency, std::vector<CaseRuns>& out) {
    Session& s = d.session();
    CaseRuns read = newCase("settings read", s.link.chipName, latency);
    CaseRuns write = newCase("settings write", s.link.chipName, latency);
    CaseRuns exported = newCase(".bin export", s.link.chipName, latency);
    const std::string bin = (std::filesystem::temp_directory_path() /
                             ("varnel-bench-" + std::to_string(getpid()) + ".bin")).string();
    for (int i = 0; i < runs; ++i) {
        d.time(read, [&](BootLink& link) { return readDeviceConfiguration(link, s); });
        d.time(write, [&](BootLink& link) {
            NoWriteProgress quiet;
            s.image.reset();
            packSettings(s.image, s.target, {s.settings, s.radio, s.script});
            return writeImage(link, quiet);
        });
        d.time(exported, [&](BootLink& link) { return exportDeviceToBin(link, bin); }, kExportDone);
    }
    std::filesystem::remove(bin);
    out.push_back(read);
    out.push_back(write);
    out.push_back(exported);
}

}  // namespace

std::vector<CaseRuns> runLinkCases(int runs, const std::vector<int>& adapterLatencies,
                                   const std::vector<std::string>& chips, int everyChipAt) {
    static const std::vector<std::string> kEveryChip{"KX8", "AP64", "AW60", "JL16", "AW32", "JM60", "JM128"};
    std::vector<CaseRuns> out;
    for (int latency : adapterLatencies) {
        for (const std::string& chip : latency == everyChipAt ? kEveryChip : chips) {
            CaseRuns load = newCase("firmware load", chip, latency);
            try {
                BenchDevice device(chip, latency);
                // The settings cases first, while the tracker holds believable settings.
                if (chip == "AP64") settingsCases(device, runs, latency, out);
                for (int i = 0; i < runs; ++i) {
                    device.time(load, [&](BootLink& link) {
                        NoWriteProgress quiet;
                        fillFirmware(device.session());
                        return writeImage(link, quiet);
                    });
                    if (!load.failure.empty()) break;
                }
            } catch (const std::exception& e) {
                load.failure = e.what();
            }
            std::fprintf(stderr, "  %-14s %-6s adapter %2d ms: %zu run(s)%s%s\n", load.name.c_str(), chip.c_str(),
                         latency, load.seconds.size(), load.failure.empty() ? "" : ", ",
                         load.failure.c_str());
            out.push_back(load);
        }
    }
    return out;
}

}  // namespace varnel::bench
