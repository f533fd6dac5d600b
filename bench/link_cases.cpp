#include "link_cases.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
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
#include "link/connector.h"
#include "link/device_configuration.h"
#include "serial/posix_serial_port.h"
#include "link/staged_write.h"
#include "serial/system_serial_port.h"
#include "link/write_progress.h"
#include "session/session.h"

namespace varnel::bench {

namespace {

// Keeps what the link says; "Done." (the first line of its message) after
// an export is its success.
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
        if (Connector(link).connect(emu_.slavePath(), true) != ConnectResult::Connected)
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
    EmulatorRunner& emulator() { return emu_; }

    // Runs op once with a clean log; its time and the wire bound of all its
    // traffic (second reads and retries included: whatever crossed the line).
    // `right` says whether the bytes read or written are the tracker's.
    // False when the run failed or ended with the wrong bytes.
    bool time(CaseRuns& into, const std::function<int(BootLink&)>& op, const std::function<bool()>& right,
              const char* expected = nullptr) {
        BootLink link(session_, ui_);
        ui_.messages.clear();
        emu_.clearLog();
        const auto start = std::chrono::steady_clock::now();
        const int rc = op(link);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const auto log = emu_.trafficLog();
        into.commands.push_back(static_cast<double>(std::count_if(log.begin(), log.end(), [](const auto& e) {
            return e.command != 0 && (e.result == CommandResult::Ack || e.result == CommandResult::Nak ||
                                      e.result == CommandResult::NoReply);
        })));
        const auto firstLine = [](const std::string& m) { return m.substr(0, m.find('\n')); };
        const bool saidOnly =
            expected ? ui_.messages.size() == 1 && firstLine(ui_.messages[0]) == expected : ui_.messages.empty();
        if (rc != 0 || !saidOnly) {
            ++into.failed;
            if (into.failure.empty()) into.failure = ui_.messages.empty() ? "failed" : firstLine(ui_.messages.front());
            return false;
        }
        if (!right()) {
            ++into.wrong;
            if (into.failure.empty()) into.failure = "ended in success with wrong bytes";
            return false;
        }
        into.seconds.push_back(took.count());
        into.boundSeconds.push_back(static_cast<double>(wireBoundMicros(log, std::chrono::milliseconds(latencyMs_))) /
                                    1e6);
        double bytes = 0;
        for (const auto& e : log) bytes += e.bytesIn + e.bytesOut;
        into.trafficBytes.push_back(bytes);
        return true;
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

// True when the tracker's flash holds the image's bytes over [start, start + size).
bool trackerHolds(BenchDevice& d, const FlashImage& image, std::uint32_t start, std::uint32_t size) {
    const auto flash = d.emulator().readFlash(start, size);
    return std::equal(flash.begin(), flash.end(), image.bytes.begin() + start);
}

bool settingsRight(BenchDevice& d) {
    const Session& s = d.session();
    return trackerHolds(d, s.image, s.target.settingsAddress, s.target.settingsSize) &&
           (!s.target.hasScript() || trackerHolds(d, s.image, s.target.scriptAddress, kScriptAreaSize));
}

// Every touched byte of the image is in the tracker.
bool touchedWritten(BenchDevice& d) {
    const FlashImage& image = d.session().image;
    const auto flash = d.emulator().flash();
    for (std::size_t a = 0; a < flash.size() && a < image.bytes.size(); ++a)
        if (image.touched[a] && flash[a] != image.bytes[a]) return false;
    return true;
}

int readSettings(Session& s, BootLink& link) { return readDeviceConfiguration(link, s); }

int writeSettings(Session& s, BootLink& link) {
    NoWriteProgress quiet;
    s.image.reset();
    packSettings(s.image, s.target, {s.settings, s.radio, s.script});
    return writeImage(link, quiet).status;
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
    const std::string bin =
        (std::filesystem::temp_directory_path() / ("varnel-bench-" + std::to_string(getpid()) + ".bin")).string();
    for (int i = 0; i < runs; ++i) {
        d.time(
            read, [&](BootLink& link) { return readSettings(s, link); }, [&] { return settingsRight(d); });
        d.time(
            write, [&](BootLink& link) { return writeSettings(s, link); }, [&] { return touchedWritten(d); });
        d.time(
            exported, [&](BootLink& link) { return exportDeviceToBin(link, bin); },
            [&] {
                std::ifstream in(bin, std::ios::binary);
                std::vector<char> file((std::istreambuf_iterator<char>(in)), {});
                const auto flash = d.emulator().readFlash(bin_export_layout::kStart,
                                                          bin_export_layout::kEnd - bin_export_layout::kStart);
                return file.size() == bin_export_layout::kFileSize &&
                       std::equal(flash.begin(), flash.end(), file.begin() + bin_export_layout::kHeaderSize,
                                  [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
            },
            kExportDone);
    }
    std::filesystem::remove(bin);
    out.push_back(read);
    out.push_back(write);
    out.push_back(exported);
}

// The settings read and write on a line that flips bits at `ber`: each run
// on a tracker freshly connected over a clean line, the noise starting once
// the connect is done (run i with seed i + 1, so each run is repeatable).
// How often the link recovers, fails, or is fooled is counted; the extra
// commands over the clean line's are its retries.
std::vector<CaseRuns> noisyCases(int runs, int latency, double ber, const std::vector<CaseRuns>& clean) {
    CaseRuns read = newCase("settings read, noisy line", "AP64", latency);
    CaseRuns write = newCase("settings write, noisy line", "AP64", latency);
    read.noiseBer = write.noiseBer = ber;
    for (int i = 0; i < runs; ++i) {
        for (CaseRuns* c : {&read, &write}) {
            try {
                BenchDevice d("AP64", latency);
                Session& s = d.session();
                BootLink first(s, d.ui());
                if (c == &write && readDeviceConfiguration(first, s) != 0)
                    throw std::runtime_error("no clean read to write back");
                d.emulator().setLineNoise({ber, static_cast<std::uint64_t>(i + 1), NoiseDirection::Both});
                if (c == &read)
                    d.time(
                        *c, [&](BootLink& link) { return readSettings(s, link); }, [&] { return settingsRight(d); });
                else
                    d.time(
                        *c, [&](BootLink& link) { return writeSettings(s, link); }, [&] { return touchedWritten(d); });
            } catch (const std::exception& e) {
                ++c->failed;
                if (c->failure.empty()) c->failure = e.what();
            }
        }
    }
    for (CaseRuns* c : {&read, &write}) {
        const std::string cleanName = c == &read ? "settings read" : "settings write";
        for (const CaseRuns& k : clean)
            if (k.name == cleanName && k.adapterLatencyMs == latency && !k.commands.empty())
                c->retries = median(c->commands) - median(k.commands);
    }
    return {read, write};
}

}  // namespace

std::vector<CaseRuns> runLinkCases(int runs, const std::vector<int>& adapterLatencies,
                                   const std::vector<std::string>& chips, int everyChipAt, double noiseBer,
                                   int noisyRuns) {
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
                    const bool right = device.time(
                        load,
                        [&](BootLink& link) {
                            NoWriteProgress quiet;
                            fillFirmware(device.session());
                            return writeImage(link, quiet).status;
                        },
                        [&] { return touchedWritten(device); });
                    if (!right) break;
                }
            } catch (const std::exception& e) {
                load.failure = e.what();
            }
            std::fprintf(stderr, "  %-14s %-6s adapter %2d ms: %zu run(s)%s%s\n", load.name.c_str(), chip.c_str(),
                         latency, load.seconds.size(), load.failure.empty() ? "" : ", ", load.failure.c_str());
            out.push_back(load);
        }
    }
    if (noiseBer > 0 && noisyRuns > 0 && !adapterLatencies.empty())
        for (const CaseRuns& c : noisyCases(noisyRuns, adapterLatencies.front(), noiseBer, out)) out.push_back(c);
    return out;
}

}  // namespace varnel::bench
