#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "config/device_target.h"
#include "config/settings_record.h"
#include "config/weather_record.h"
#include "cli_harness.h"
#include "emu_harness.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace varnel::test {
namespace {

TEST_F(CliTest, ReadThenWriteBackAConfigurationOnEveryChip) {
    for (const char* chip : kChips) {
        SCOPED_TRACE(chip);
        EmulatorHarness emu(chip);
        const TargetTableEntry& t = *findTarget(chip);
        const fs::path cfg = dir / (std::string(chip) + ".cfg");

        Result r = cli("read --port " + portOf(emu) + " --output " + pathArg(cfg));
        ASSERT_EQ(r.status, 0) << r.err << emu.commandLogText();
        EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s)) << "the bootloader was not left";
        Bytes file = readFile(cfg);
        const bool withScript = t.scriptAddress != 0;
        const bool withRadio = t.kind == KindJL16;  // its frequencies and status texts follow the settings
        ASSERT_EQ(file.size(), withScript ? 1049u : withRadio ? 691u : 537u);
        const std::string id(reinterpret_cast<const char*>(file.data()));
        EXPECT_EQ(id, emu.deviceInfo().deviceId);
        // The header and profile 1 start the settings area on every chip.
        const Bytes area = emu.readFlash(t.settingsAddress, 5 + 100);
        EXPECT_TRUE(std::equal(area.begin(), area.end(), file.begin() + 32));
        if (withScript) {
            const Bytes script = emu.readFlash(t.scriptAddress, 512);
            EXPECT_TRUE(std::equal(script.begin(), script.end(), file.begin() + 537));
        }

        if (withRadio) {
            const Bytes radio = emu.readFlash(radio_layout::kDeviceAddress, radio_layout::kSize);
            EXPECT_TRUE(std::equal(radio.begin(), radio.end(), file.begin() + 537));
            file[537 + radio_layout::kFrequencies + 3] ^= 0x5A;  // channel 1's low byte
        }

        // Change the low byte of profile 1's beacon interval and write it back.
        file[32 + 5 + 2] ^= 0x5A;
        std::ofstream(cfg, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        emu.clearLog();
        r = cli("write --port " + portOf(emu) + " " + pathArg(cfg));
        ASSERT_EQ(r.status, 0) << r.err << emu.commandLogText();
        EXPECT_EQ(emu.readFlash(t.settingsAddress + 7, 1)[0], file[32 + 7]);
        if (withRadio) {
            EXPECT_EQ(emu.readFlash(radio_layout::kDeviceAddress + radio_layout::kFrequencies + 3, 1)[0],
                      file[537 + radio_layout::kFrequencies + 3]);
        }
        for (const auto& e : emu.commandLog()) EXPECT_FALSE(e.writeWithoutErase) << e.text();
        EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s));
    }
}

TEST_F(CliTest, WeatherStationFirmwareIsSavedWithoutScriptEditedAndWritten255Bytes) {
    EmulatorOptions options;
    options.chip = "AP64";
    options.weather = true;
    EmulatorHarness emu(options);
    const fs::path cfg = dir / "weather.cfg";
    ASSERT_EQ(cli("read --port " + portOf(emu) + " --output " + pathArg(cfg)).status, 0);
    EXPECT_EQ(readFile(cfg).size(), 537u);
    Result r = cli("show --json " + pathArg(cfg));
    EXPECT_NE(r.out.find("\"family\":1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"callsign\":\"N0CALL-13\""), std::string::npos) << r.out;
    ASSERT_EQ(cli("set " + pathArg(cfg) + " callsign=K1WX windVane=4").status, 0);

    emu.clearLog();
    r = cli("write --port " + portOf(emu) + " " + pathArg(cfg));
    ASSERT_EQ(r.status, 0) << r.err << emu.commandLogText();
    std::uint32_t written = 0, lowest = ~0u, highest = 0;
    for (const auto& e : emu.commandLog()) {
        if (e.command != 'W') continue;
        written += e.length;
        lowest = std::min(lowest, e.address);
        highest = std::max(highest, e.address + e.length);
    }
    EXPECT_EQ(written, 255u);
    EXPECT_EQ(lowest, 0xF400u);
    EXPECT_EQ(highest, 0xF400u + 255);
    EXPECT_EQ(emu.readFlash(0xF400 + 5 + 5, 4), (Bytes{'K' << 1, '1' << 1, 'W' << 1, 'X' << 1}));
    EXPECT_EQ(emu.readFlash(0xF400 + 5 + 46, 1)[0], 4);
}

#ifndef VARNEL_WINE_COM_LINK
// Backups, diff and the dry run on the Linux build (the backup folder of the
// Windows build is not the XDG one).
TEST_F(CliTest, WritesAndFlashesLeaveBackupsThatWriteBackByteForByte) {
    for (const char* chip : {"AP64", "JM128"}) {
        SCOPED_TRACE(chip);
        fs::remove_all(dataHome());
        EmulatorHarness emu(chip);
        const TargetTableEntry& t = *findTarget(chip);
        const Bytes originalArea = emu.readFlash(t.settingsAddress, t.settingsSize);
        const Bytes originalScript = emu.readFlash(t.scriptAddress, 512);
        const fs::path cfg = dir / "a.cfg";
        ASSERT_EQ(cli("read --port " + emu.slavePath() + " --output " + cfg.string()).status, 0);
        const Bytes original = readFile(cfg);

        Bytes changed = original;
        changed[32 + 5 + 2] ^= 0x5A;
        std::ofstream(cfg, std::ios::binary)
            .write(reinterpret_cast<const char*>(changed.data()), static_cast<std::streamsize>(changed.size()));
        const Result written = cli("write --port " + emu.slavePath() + " " + cfg.string());
        ASSERT_EQ(written.status, 0) << written.err;
        const std::string first = backupNamed(written);
        ASSERT_FALSE(first.empty()) << written.out;
        EXPECT_EQ(fs::path(first).parent_path(), dataHome() / "varnelcfg" / "backups");
        EXPECT_EQ(readFile(first), original);

        Bytes settings(t.settingsSize, 0x33);
        settings[0] = 0;
        const fs::path s19 = writeS19({{t.settingsAddress, settings}, resetVector(emu)});
        const Result flashed = cli("flash --port " + emu.slavePath() + " " + s19.string());
        ASSERT_EQ(flashed.status, 0) << flashed.err;
        const std::string second = backupNamed(flashed);
        EXPECT_EQ(readFile(second), changed);

        // Everything after the header (family, type, build: the new firmware's
        // own) is back as it was before the first write.
        const Result restored = cli("write --port " + emu.slavePath() + " " + first);
        ASSERT_EQ(restored.status, 0) << restored.err;
        const Bytes area = emu.readFlash(t.settingsAddress, t.settingsSize);
        EXPECT_TRUE(std::equal(area.begin() + 4, area.end(), originalArea.begin() + 4));
        EXPECT_EQ(emu.readFlash(t.scriptAddress, 512), originalScript);

        const Result listed = cli("backups");
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(listed.out, backupNamed(restored) + "\n" + second + "\n" + first + "\n");
    }
}

TEST_F(CliTest, BackupsOfEveryChipAsTrackerAndWeatherStationRestoreTheFlashByteForByte) {
    for (const char* chip : kChips) {
        for (const bool weather : {false, true}) {
            SCOPED_TRACE(std::string(chip) + (weather ? " weather station" : " tracker"));
            fs::remove_all(dataHome());
            EmulatorOptions options;
            options.chip = chip;
            options.weather = weather;
            EmulatorHarness emu(options);
            // Every byte of a station's block after the header holds something
            // of its own, so a backup that lost or moved one would not restore it.
            const TargetTableEntry& t = *findTarget(chip);
            const std::size_t span = std::max<std::size_t>(t.settingsSize, weather_layout::kSettingsBlockSize);
            if (weather) {
                Bytes pattern(weather_layout::kSettingsBlockSize - 5);
                for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<std::uint8_t>(i * 37 + 11);
                emu.loadFlash(t.settingsAddress + 5, pattern);
            }
            const Bytes original = emu.flash();
            const fs::path cfg = dir / "a.cfg";
            ASSERT_EQ(cli("read --port " + emu.slavePath() + " --output " + cfg.string()).status, 0);
            // Change every settings byte the file carries after the header.
            Bytes changed = readFile(cfg);
            for (std::size_t i = 32 + 4; i < changed.size(); ++i) changed[i] ^= 0x21;
            std::ofstream(cfg, std::ios::binary)
                .write(reinterpret_cast<const char*>(changed.data()), static_cast<std::streamsize>(changed.size()));
            const Result written = cli("write --port " + emu.slavePath() + " " + cfg.string());
            ASSERT_EQ(written.status, 0) << written.err;
            ASSERT_NE(emu.flash(), original);

            const Result restored = cli("write --no-backup --port " + emu.slavePath() + " " + backupNamed(written));
            ASSERT_EQ(restored.status, 0) << restored.err;
            EXPECT_EQ(firstDifference(emu.flash(), original), -1);

            // New firmware that keeps the settings keeps them the same way.
            const fs::path s19 = writeS19({{codeAddress(emu), Bytes(64, 0x9D)}, resetVector(emu)});
            const Result flashed =
                cli("flash --no-backup --keep-settings --port " + emu.slavePath() + " " + s19.string());
            ASSERT_EQ(flashed.status, 0) << flashed.err;
            EXPECT_EQ(emu.readFlash(t.settingsAddress, span),
                      Bytes(original.begin() + t.settingsAddress, original.begin() + t.settingsAddress + span));
        }
    }
}

TEST_F(CliTest, ABackupThatCannotBeSavedStopsTheWriteUnlessNoBackupIsGiven) {
    EmulatorHarness emu("AP64");
    const fs::path cfg = dir / "a.cfg";
    ASSERT_EQ(cli("read --port " + emu.slavePath() + " --output " + cfg.string()).status, 0);
    dataHomeOverride = dir / "a-file";
    std::ofstream(dataHomeOverride) << "not a folder";
    emu.clearLog();
    Result r = cli("write --port " + emu.slavePath() + " " + cfg.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Could not save a backup"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--no-backup"), std::string::npos) << r.err;
    for (const auto& e : emu.commandLog()) EXPECT_NE(e.command, 'E') << e.text();

    r = cli("write --no-backup --port " + emu.slavePath() + " " + cfg.string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(backupNamed(r), "");
}

TEST_F(CliTest, DiffAndDryRunPrintOnlyTheSettingsThatDiffer) {
    EmulatorHarness emu("AP64");
    const fs::path a = dir / "a.cfg", b = dir / "b.cfg";
    ASSERT_EQ(cli("read --port " + emu.slavePath() + " --output " + a.string()).status, 0);
    fs::copy_file(a, b);
    EXPECT_EQ(cli("diff " + a.string() + " " + b.string()).status, 0);
    ASSERT_EQ(cli("set --profile 2 " + b.string() + " beaconInterval=1234").status, 0);

    Result r = cli("diff " + a.string() + " " + b.string());
    EXPECT_EQ(r.status, 1);
    // The SmartBeaconing window shows the same field as its fast interval.
    const std::string was = r.out.substr(26, r.out.find(" -> ") - 26);
    EXPECT_EQ(r.out, "profile 2 beaconInterval: " + was + " -> 1234\nprofile 2 smartBeaconing.fastInterval: " + was +
                         " -> 1234\n");
    EXPECT_EQ(cli("diff " + a.string() + " " + (dir / "missing.cfg").string()).status, 2);

    // The dry run prints the write's preview: by profile and window, in the
    // window's names, then the network's warnings (the factory callsign).
    emu.clearLog();
    r = cli("write --dry-run --port " + emu.slavePath() + " " + b.string());
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string preview = "Profile 2\n  beaconInterval: " + was +
                                " -> 1234\nProfile 2: SmartBeaconing\n"
                                "  fastInterval: " +
                                was + " -> 1234\nWarnings\n  profile 1 callsign N0CALL-9: ";
    EXPECT_EQ(r.out.substr(0, preview.size()), preview);
    r = cli("write --dry-run --port " + emu.slavePath() + " " + a.string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Nothing differs: the tracker already holds these settings.\nWarnings\n", 0), 0u) << r.out;
    for (const auto& e : emu.commandLog()) EXPECT_TRUE(e.command != 'E' && e.command != 'W') << e.text();
    EXPECT_FALSE(fs::exists(dataHome() / "varnelcfg" / "backups"));

    // A write prints the same list before it writes.
    r = cli("write --port " + emu.slavePath() + " " + b.string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, preview.size()), preview);
}
#endif

TEST_F(CliTest, WriteRefusesAFileForAnotherChipUnlessForced) {
    EmulatorHarness jm60("JM60");
    const fs::path cfg = dir / "jm60.cfg";
    ASSERT_EQ(cli("read --port " + portOf(jm60) + " --output " + pathArg(cfg)).status, 0);

    EmulatorHarness ap64("AP64");
    ap64.clearLog();
    Result r = cli("write --port " + portOf(ap64) + " " + pathArg(cfg));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("JM60"), std::string::npos) << r.err;
    for (const auto& e : ap64.commandLog()) EXPECT_NE(e.command, 'E') << e.text();

    r = cli("write --port " + portOf(ap64) + " --force " + pathArg(cfg));
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(CliTest, ExportBinOnEveryChip) {
    for (const char* chip : kChips) {
        SCOPED_TRACE(chip);
        EmulatorHarness emu(chip);
        const fs::path bin = dir / "image.bin";
        const Result r = cli("export-bin --port " + portOf(emu) + " --output " + pathArg(bin));
        ASSERT_EQ(r.status, 0) << r.err << emu.commandLogText();
        EXPECT_NE(r.err.find("Done."), std::string::npos);
        const Bytes file = readFile(bin);
        ASSERT_EQ(file.size(), 61952u);
        EXPECT_EQ(file[0], 0x1D);
        EXPECT_EQ(file[1], 0x08);
        EXPECT_EQ(file[2], 0x80);
        const Bytes memory = emu.readFlash(0x0880, 0xFA00 - 0x0880);
        EXPECT_TRUE(std::equal(memory.begin(), memory.end(), file.begin() + 128));
    }
}

TEST_F(CliTest, ExportFromATrackerThatHangsUpLeavesNoFile) {
    EmulatorHarness emu("AP64");
    emu.withModel([](DeviceModel& m) { m.faults().hangupAfter = m.bytesReceived() + 400; });
    const fs::path bin = dir / "image.bin";
    const Result r = cli("export-bin --port " + portOf(emu) + " --output " + pathArg(bin));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find("Done."), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(bin));
}

TEST_F(CliTest, DiagShowsTheReadingsWhereTheFirmwareHasDiagnostics) {
    for (const char* chip : kChips) {
        SCOPED_TRACE(chip);
        EmulatorHarness emu(chip);
        const Result r = cli("diag --port " + portOf(emu));
        if (!(findTarget(chip)->featureMask & kFeatureDiagnostics)) {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find("no diagnostics"), std::string::npos) << r.err;
            continue;
        }
        ASSERT_EQ(r.status, 0) << r.err << emu.commandLogText();
        EXPECT_NE(r.out.find("Voltage: "), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Temperature: 25 C"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Receive level: ") != std::string::npos, std::string(chip) == "JM60") << r.out;
        // Left as the dialog leaves it: red LED on, the others off.
        const DeviceOutputs o = emu.outputs();
        EXPECT_TRUE(o.redLed);
        EXPECT_FALSE(o.greenLed || o.txLed || o.toneHigh || o.toneLow);
    }
}

TEST_F(CliTest, DiagAdjustmentsHoldThenSwitchOffAndReadingsFollowTheEmulatorsOptions) {
    EmulatorOptions options;
    options.chip = "AP64";
    options.volts = 11.5;
    EmulatorHarness emu(options);
    const Result r =
        cli("diag --port " + portOf(emu) +
            " --led green=on --led red=off --power on --tone both --pair 300 --audio-level 77 --seconds 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Voltage: 11.53v"), std::string::npos) << r.out;
    EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s));  // it left the bootloader
    std::string notes;
    for (const auto& e : emu.commandLog()) notes += e.note + ";";
    std::size_t at = 0;
    for (const char* step : {"green LED on", "red LED off", "power output on", "audio level 77", "tone pair 300",
                             "both tones", "power output off", "tones stopped", "red LED on"}) {
        at = notes.find(step, at);
        EXPECT_NE(at, std::string::npos) << step << " in " << notes;
    }
    const DeviceOutputs o = emu.outputs();
    EXPECT_TRUE(o.redLed);
    EXPECT_FALSE(o.greenLed || o.power || o.toneHigh || o.toneLow);
    EXPECT_EQ(o.audioLevel, 77);
}

// Interrupting with SIGINT is how a POSIX shell stops the watch.
#ifndef VARNEL_CLI_RUNNER
TEST_F(CliTest, DiagWatchPrintsReadingsUntilInterruptedThenClosesAndLeavesTheBootloader) {
    EmulatorHarness emu("JM60");
    const fs::path out = dir / "watch.txt";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::freopen(out.c_str(), "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(VARNEL_CLI_PATH, VARNEL_CLI_PATH, "diag", "--port", emu.slavePath().c_str(), "--watch", "--imperial",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Connecting takes a moment; then at least a few readings.
    const auto lines = [&] {
        const std::string text = readText(out);
        return std::count(text.begin(), text.end(), '\n');
    };
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (lines() < 3 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(50ms);
    ::kill(pid, SIGINT);
    int raw = 0;
    ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    const std::string text = readText(out);
    EXPECT_NE(text.find("Voltage: 12.00v  Temperature:  77 F  Receive level: "), std::string::npos) << text;
    EXPECT_GE(lines(), 3) << text;
    const DeviceOutputs o = emu.outputs();
    EXPECT_TRUE(o.redLed);
    EXPECT_FALSE(o.greenLed || o.txLed || o.power || o.toneHigh || o.toneLow);
    EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s)) << emu.commandLogText();
}
#endif

TEST_F(CliTest, FlashOnEveryChipWithTheFilesSettingsOrTheTrackers) {
    for (const char* chip : kChips) {
        for (const bool keep : {false, true}) {
            SCOPED_TRACE(std::string(chip) + (keep ? " keeping settings" : " file's settings"));
            EmulatorHarness emu(chip);
            const TargetTableEntry& t = *findTarget(chip);
            const std::uint32_t codeAt = codeAddress(emu);
            Bytes code(96);
            for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(0x40 + i);
            Bytes settings(t.settingsSize, 0x33);
            settings[0] = 0;     // tracker family
            settings[1] = 1;     // type
            settings[2] = 0x02;  // build 0x0207
            settings[3] = 0x07;
            const fs::path s19 = writeS19({{codeAt, code}, {t.settingsAddress, settings}, resetVector(emu)});

            const Bytes trackerSettings = emu.readFlash(t.settingsAddress, t.settingsSize);
            const Bytes trackerScript = t.scriptAddress ? emu.readFlash(t.scriptAddress, 512) : Bytes{};
            emu.clearLog();
            const Result r = cli("flash --port " + portOf(emu) + (keep ? " --keep-settings " : " ") + pathArg(s19));
            ASSERT_EQ(r.status, 0) << r.err << emu.commandLogText();
            EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s));

            const Bytes flashedCode = emu.readFlash(codeAt, code.size());
            EXPECT_EQ(flashedCode, code);
            const Bytes area = emu.readFlash(t.settingsAddress, t.settingsSize);
            EXPECT_EQ(area, keep ? trackerSettings : settings);
            if (t.scriptAddress && keep) {
                EXPECT_EQ(emu.readFlash(t.scriptAddress, 512), trackerScript);
            }

            bool committed = false;
            for (const auto& e : emu.commandLog()) {
                EXPECT_FALSE(e.writeWithoutErase) << e.text();
                committed |= e.command == 'U';
            }
            EXPECT_EQ(committed, t.kind == KindJM128);
        }
    }
}

TEST_F(CliTest, AnImageWithoutAResetVectorIsFlashedOnlyWithForce) {
    EmulatorHarness emu("AW60");
    const fs::path s19 = writeS19({{0x1000, Bytes{0xA6, 0x01, 0x20, 0xFE}}});
    Result r = cli("flash --port " + portOf(emu) + " " + pathArg(s19));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no reset vector"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    for (const auto& e : emu.commandLog()) EXPECT_NE(e.command, 'E') << e.text();

    r = cli("flash --force --port " + portOf(emu) + " " + pathArg(s19));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(emu.readFlash(0x1000, 2), (Bytes{0xA6, 0x01}));

    // A file with no records is not firmware at all: not even --force writes it.
    const fs::path notes = dir / "notes.s19";
    std::ofstream(notes) << "Release notes\n";
    emu.clearLog();
    r = cli("flash --force --port " + portOf(emu) + " " + pathArg(notes));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The file holds no firmware records."), std::string::npos) << r.err;
    for (const auto& e : emu.commandLog()) EXPECT_NE(e.command, 'E') << e.text();
}

TEST_F(CliTest, WriteRefusesWhatShowRefusesUnlessForcedAndReadNeverSavesUnknownSettings) {
    EmulatorHarness emu("AP64");
    const std::uint32_t settingsAt = findTarget("AP64")->settingsAddress;
    const fs::path cfg = dir / "a.cfg", odd = dir / "odd.cfg", cut = dir / "cut.cfg";
    ASSERT_EQ(cli("read --port " + portOf(emu) + " --output " + pathArg(cfg)).status, 0);
    Bytes file = readFile(cfg);
    std::ofstream(cut, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), 100);
    file[32] = 7;  // a family no dialog knows
    std::ofstream(odd, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));

    emu.clearLog();
    for (const fs::path& refused : {odd, cut}) {
        const Result r = cli("write --port " + portOf(emu) + " " + pathArg(refused));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(refused == odd ? "does not hold tracker settings (family 7: blank or unknown firmware)"
                                            : "Error reading configuration file"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    }
    // Nothing but, at most, the read's own closing 'Q', which the emulator
    // may log after clearLog when the machine is busy.
    for (const auto& e : emu.commandLog()) EXPECT_EQ(e.command, 'Q') << emu.commandLogText();
    Result r = cli("write --force --port " + portOf(emu) + " " + pathArg(odd));
    EXPECT_EQ(r.status, 0) << r.err;

    // A tracker whose settings name no known firmware: said, and no file.
    emu.loadFlash(settingsAt, {0x42});
    const fs::path unknown = dir / "unknown.cfg";
    r = cli("read --port " + portOf(emu) + " --output " + pathArg(unknown));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("(family 66)"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(unknown));
}

TEST_F(CliTest, AnUnloadableFirmwareFileWritesNothing) {
    EmulatorHarness emu("AP64");
    const Result r = cli("flash --port " + portOf(emu) + " " + pathArg(dir / "missing.s19"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error loading firmware file"), std::string::npos) << r.err;
    for (const auto& e : emu.commandLog()) {
        EXPECT_NE(e.command, 'E') << e.text();
        EXPECT_NE(e.command, 'W') << e.text();
    }
    EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s));
}

TEST_F(CliTest, ASilentTrackerIsGivenUpAfterTheTimeOut) {
    EmulatorHarness emu("AP64");
    emu.setSilent(true);
    const auto start = std::chrono::steady_clock::now();
    const Result r = cli("read --port " + portOf(emu) + " --timeout 2 --output " + pathArg(dir / "x.cfg"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 6s);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No answer from a tracker"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "x.cfg"));
}

// The doctor as a user runs it: all is well on an emulated tracker, which
// answers its last check; a missing port is named and nothing is tried on
// it; a silent tracker is the one problem.
TEST_F(CliTest, TheDoctorPassesAnEmulatedTrackerAndNamesWhatStandsInTheWay) {
    EmulatorHarness emu("JM60");
    const std::string port = portOf(emu);
    Result r = cli("doctor --port " + port + " --connect");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[ok]      tracker: JM60 answered on " + port + " (device \"JM60"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nNothing stands in the way of a connection."), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("[problem]"), std::string::npos) << r.out;

    r = cli("doctor --port " + std::string(kMissingPort) + " --connect");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("[problem] port: " + std::string(kMissingPort) +
                         " does not exist; is the tracker's cable plugged in?"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[advice]  tracker: Not tried"), std::string::npos) << r.out;

    emu.setSilent(true);
    r = cli("doctor --port " + port + " --connect --timeout 2");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("[problem] tracker: No answer from a tracker on " + port + " within 2 seconds"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nOne problem stands in the way"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");  // every message is a line of the report
}

TEST_F(CliTest, PortsAndUnopenablePortsSayWhy) {
    const Result ports = cli("ports");
    EXPECT_EQ(ports.status, 0);
#ifdef VARNEL_WINE_COM_LINK
    EXPECT_NE(ports.out.find("COM12\t"), std::string::npos) << ports.out;
    const Result r = cli("read --port " + std::string(kMissingPort) + " --output " + pathArg(dir / "x.cfg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Can't open serial port"), std::string::npos) << r.err;
#else
    Result r = cli("read --port " + std::string(kMissingPort) + " --output " + pathArg(dir / "x.cfg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Can't open serial port\n/dev/no-such-tracker does not exist"), std::string::npos) << r.err;

    // This test process holds the tracker's port, as a terminal program would.
    EmulatorHarness emu("AP64");
    const int fd = ::open(emu.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    r = cli("read --port " + emu.slavePath() + " --output " + (dir / "x.cfg").string());
    ::close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(emu.slavePath() + " is in use by test_integratio (pid " + std::to_string(::getpid()) + ")"),
              std::string::npos)
        << r.err;
#endif
}

}  // namespace
}  // namespace varnel::test
