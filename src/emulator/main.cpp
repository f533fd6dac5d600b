// varnel-emu: an emulated Varnel tracker on a pseudo-terminal.
#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <exception>
#include <iostream>

#include "emulator/emulator_runner.h"
#include "emulator/flash_file.h"

namespace {

std::optional<std::uint32_t> addressOption(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return static_cast<std::uint32_t>(std::stoul(text, nullptr, 0));
}

int run(int argc, char** argv) {
    CLI::App app{"varnel-emu: an emulated Varnel tracker on a pseudo-terminal"};
    varnel::EmulatorOptions options;
    std::string flashFile, saveFlash, logFile, nakErase, nakWrite, corruptRead;
    std::uint64_t hangupAfter = 0;
    std::vector<std::string> aimedFaults;
    std::string noiseDirection = "both";
    app.add_option("--chip", options.chip, "Target chip")
        ->check(CLI::IsMember({"KX8", "AP64", "AW60", "JL16", "AW32", "JM60", "JM128"}))
        ->capture_default_str();
    app.add_option("--link", options.linkPath, "Make PATH a symbolic link to the pseudo-terminal");
    app.add_option("--flash", flashFile, "Initial flash contents (.s19 or .bin)");
    app.add_flag("--bootloader", options.startInBootloader, "Start in the bootloader instead of the running firmware");
    app.add_flag(
        "--blank", [&](std::int64_t) { options.defaultSettings = false; },
        "Start with erased flash instead of the factory settings");
    app.add_flag("--weather", options.weather,
                 "Run weather-station firmware (settings family 1) instead of the tracker firmware");
    app.add_flag("--realtime", options.realtime,
                 "Take wire time per byte at the line speed, and erase and program times");
    app.add_flag("--silent", options.faults.silent, "The device answers nothing");
    app.add_option("--nak-erase", nakErase, "Refuse to erase the block holding ADDR");
    app.add_option("--nak-write", nakWrite, "Refuse writes covering ADDR");
    app.add_option("--corrupt-readback", corruptRead, "Invert the byte at ADDR when read back");
    app.add_option("--hangup-after", hangupAfter, "Unplug after N received bytes");
    app.add_option("--repeat-announce", options.faults.announceRepeats,
                   "Answer the first N 'I' after each handshake with 0xFC");
    app.add_option("--late-announce", options.faults.lateAnnounceMs,
                   "After each handshake, one more 0xFC reaches the host MS ms later (an announce "
                   "held up by a busy host or a slow adapter), or just before the next reply")
        ->check(CLI::Range(0, 1000));
    app.add_option("--noise-ber", options.faults.noise.bitErrorRate,
                   "From the first handshake on, flip each bit on the line with probability RATE")
        ->check(CLI::Range(0.0, 0.5));
    app.add_option("--noise-seed", options.faults.noise.seed, "Seed of the line noise (default: 1)");
    app.add_option("--noise-direction", noiseDirection, "Which way the noise travels")
        ->check(CLI::IsMember({"both", "to-host", "to-tracker"}))
        ->capture_default_str();
    app.add_option("--fault", aimedFaults,
                   "A single fault, KIND:CMD[:N[:INDEX[:VALUE]]]: KIND drop, duplicate, junk, corrupt "
                   "(a byte of the Nth reply to CMD) or flip-address (bit INDEX of the Nth CMD's address)");
    app.add_option("--firmware-speed", options.firmwareSpeed,
                   "Line speed the running firmware listens at (default: 4800)")
        ->check(CLI::IsMember({1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}));
    app.add_flag("--usb", options.usbCdc,
                 "On the board's own USB port (JM60, JM128): every byte is heard at any line speed");
    app.add_option("--voltage", options.volts, "Supply voltage the sensors report (default: 12.0)");
    app.add_option("--temperature", options.celsius, "Temperature in degrees Celsius the sensors report (default: 25)");
    app.add_option("--adapter-latency", options.adapterLatencyMs,
                   "Answer through a USB-serial adapter: a packet goes out at 62 bytes or MS ms "
                   "after its first byte")
        ->check(CLI::Range(1, 255));
    app.add_option("--log", logFile, "Write the command log to FILE");
    app.add_option("--save-flash", saveFlash, "Save the flash as a raw image on exit");
    CLI11_PARSE(app, argc, argv);

    try {
        options.faults.nakEraseAt = addressOption(nakErase);
        options.faults.nakWriteAt = addressOption(nakWrite);
        options.faults.corruptReadAt = addressOption(corruptRead);
    } catch (const std::exception&) {
        std::cerr << "varnel-emu: addresses are numbers, such as 0xF400\n";
        return 2;
    }
    if (hangupAfter > 0) options.faults.hangupAfter = hangupAfter;
    options.faults.noise.direction = noiseDirection == "to-host"      ? varnel::NoiseDirection::ToHost
                                     : noiseDirection == "to-tracker" ? varnel::NoiseDirection::ToTracker
                                                                      : varnel::NoiseDirection::Both;
    for (const auto& text : aimedFaults) {
        const auto fault = varnel::parseAimedFault(text);
        if (!fault) {
            std::cerr << "varnel-emu: a fault is KIND:CMD[:N[:INDEX[:VALUE]]], such as corrupt:I:1:10 (not " << text
                      << ")\n";
            return 2;
        }
        options.faults.aimed.push_back(*fault);
    }

    // Block the stop signals before any thread starts, so only sigtimedwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::unique_ptr<varnel::EmulatorRunner> runner;
    try {
        runner = std::make_unique<varnel::EmulatorRunner>(options);
    } catch (const std::exception& e) {
        std::cerr << "varnel-emu: " << e.what() << "\n";
        return 1;
    }
    if (!flashFile.empty()) {
        std::string error;
        const bool loaded = runner->withModel(
            [&](varnel::DeviceModel& model) { return varnel::loadFlashFile(flashFile, model.flash(), error); });
        if (!loaded) {
            std::cerr << "varnel-emu: " << error << "\n";
            return 1;
        }
    }

    std::ofstream log;
    if (!logFile.empty()) {
        log.open(logFile, std::ios::trunc);
        if (!log) {
            std::cerr << "varnel-emu: cannot write " << logFile << "\n";
            return 1;
        }
    }

    runner->start();
    std::cout << runner->slavePath() << std::endl;
    std::cerr << "varnel-emu: " << options.chip << " on " << runner->slavePath()
              << (options.linkPath.empty() ? "" : " (linked as " + options.linkPath + ")") << "\n";

    std::size_t logged = 0;
    auto flushLog = [&] {
        if (!log.is_open()) return;
        const auto entries = runner->commandLog();
        for (; logged < entries.size(); ++logged) log << entries[logged].text() << "\n";
        log.flush();
    };
    const timespec period{0, 200 * 1000 * 1000};
    while (sigtimedwait(&stopSignals, nullptr, &period) < 0) flushLog();

    runner->stop();
    flushLog();
    int status = 0;
    if (!saveFlash.empty()) {
        std::string error;
        const bool saved = runner->withModel(
            [&](varnel::DeviceModel& model) { return varnel::saveFlashFile(saveFlash, model.flash(), error); });
        if (!saved) {
            std::cerr << "varnel-emu: " << error << "\n";
            status = 1;
        }
    }
    return status;
}

}  // namespace

// Setting the options up can throw too (a bad option name is a programming
// error, a full disk while printing help is not): nothing ends without saying why.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "varnel-emu: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "varnel-emu: unexpected failure\n";
    }
    return 1;
}
