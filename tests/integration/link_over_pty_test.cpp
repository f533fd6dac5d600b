#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "config/device_target.h"
#include "serial/serial_port.h"
#include "emu_harness.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"
#include "link/connector.h"
#include "link/staged_write.h"
#include "serial/system_serial_port.h"
#include "link/write_progress.h"
#include "session/session.h"
#include "support/recording_ui.h"

using namespace std::chrono_literals;

namespace varnel::test {
namespace {

const char* const kChips[] = {"KX8", "AP64", "AW60", "JL16", "AW32", "JM60", "JM128"};

// Gives up on the attempt after a while, as a user at the connect dialog would.
class PatientUi : public RecordingUi {
public:
    LinkState* link = nullptr;
    std::chrono::steady_clock::time_point giveUpAt = std::chrono::steady_clock::now() + 20s;
    void pump() override {
        RecordingUi::pump();
        if (std::chrono::steady_clock::now() >= giveUpAt) link->linkAbort = LinkState::kAbortRequested;
    }
};

// The host side as the programs build it: a session with the real POSIX
// port, talking to an emulated tracker over its pseudo-terminal.
struct Host {
    Session session;
    PatientUi ui;
    BootLink link;
    Connector connector{link};

    Host() : link(prepared(session), ui) { ui.link = &session.link; }
    ~Host() {
        if (session.port->isOpen()) session.port->closePort();
    }
    static Session& prepared(Session& s) {
        s.port = makeSystemSerialPort();
        return s;
    }
    ConnectResult connect(const std::string& path, bool fast = true) {
        session.link.linkAbort = LinkState::kAbortRunning;
        const ConnectResult r = connector.connect(path, fast);
        if (r == ConnectResult::Connected) selectTarget(session.target, session.link.chipName);
        return r;
    }
};

std::vector<CommandLogEntry> commandsOf(const std::vector<CommandLogEntry>& log, char code) {
    std::vector<CommandLogEntry> out;
    for (const auto& e : log)
        if (e.command == static_cast<std::uint8_t>(code)) out.push_back(e);
    return out;
}

TEST(LinkOverPty, ConnectsToEveryChipAndSwitchesToItsFastestSpeed) {
    for (const char* chip : kChips) {
        EmulatorHarness emu(chip);
        Host host;
        ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected) << chip << '\n' << emu.commandLogText();
        const DeviceInfo expected = emu.deviceInfo();
        const DeviceInfo& got = host.session.link.deviceInfo;
        EXPECT_EQ(got.deviceId, expected.deviceId) << chip;
        EXPECT_EQ(got.validStart, expected.validStart) << chip;
        EXPECT_EQ(got.validEnd, expected.validEnd) << chip;
        EXPECT_EQ(got.eraseBlockSize, expected.eraseBlockSize) << chip;
        EXPECT_EQ(got.writeBlockSize, expected.writeBlockSize) << chip;
        EXPECT_EQ(got.redirectPrologue, expected.redirectPrologue) << chip;
        EXPECT_EQ(host.session.link.chipName, chip);
        EXPECT_EQ(host.session.target.kind, findTarget(chip)->kind);
        const std::string suffix = host.session.link.targetSuffix;
        const std::uint32_t speed = suffix.find('H') != std::string::npos   ? 115200
                                    : suffix.find('T') != std::string::npos ? 57600
                                                                            : 19200;
        // The link works at the new speed: read something back.
        std::uint8_t probe[4] = {};
        EXPECT_EQ(host.link.readMemory(host.session.target.settingsAddress, 4, probe), 4) << chip;
        EXPECT_EQ(emu.lineSpeed(), speed) << chip << '\n' << emu.commandLogText();
        EXPECT_TRUE(host.ui.messages.empty()) << chip;
        // One reset request was enough: the firmware listens at 4800.
        EXPECT_EQ(emu.state(), DeviceState::Bootloader);
    }
}

TEST(LinkOverPty, SlowLinkStaysAt19200) {
    EmulatorHarness emu("AP64");
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath(), false), ConnectResult::Connected);
    std::uint8_t b[1];
    ASSERT_EQ(host.link.readMemory(0xF400, 1, b), 1);
    EXPECT_EQ(emu.lineSpeed(), 19200u);
    EXPECT_TRUE(commandsOf(emu.commandLog(), 'H').empty());
}

TEST(LinkOverPty, LongDeviceIdIsCutAndTheHeldChipIsChecked) {
    EmulatorHarness emu("AP64");
    emu.setDeviceId("AP64-HT" + std::string(33, 'z'));  // 40 characters
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected) << emu.commandLogText();
    EXPECT_EQ(host.session.link.deviceInfo.deviceId, ("AP64-HT" + std::string(33, 'z')).substr(0, 39));

    // Back to the firmware, then the same tracker again: settings are kept.
    ASSERT_EQ(host.link.leaveBootloader(), 0);
    ASSERT_TRUE(emu.waitForState(DeviceState::Firmware, 2s));
    host.session.port->closePort();
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected) << emu.commandLogText();
    EXPECT_TRUE(host.session.link.sameTargetReconnected);

    // A different tracker on the same port is refused.
    EmulatorHarness other("JM60");
    host.session.port->closePort();
    host.session.link.sameTargetReconnected = false;
    const ConnectResult r = host.connect(other.slavePath());
    EXPECT_EQ(r, ConnectResult::WrongTarget);
    EXPECT_EQ(host.connector.failureMessage(r),
              "Wrong target device type!\nThe settings are for AP64; this tracker is JM60.");
    EXPECT_EQ(host.session.link.chipName, "AP64");
}

TEST(LinkOverPty, SilentTrackerIsAbortedWithoutAMessage) {
    EmulatorHarness emu("AP64");
    emu.setSilent(true);
    Host host;
    host.ui.giveUpAt = std::chrono::steady_clock::now() + 3s;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(host.connect(emu.slavePath()), ConnectResult::Aborted);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 6s);
    EXPECT_TRUE(host.ui.messages.empty());
    EXPECT_FALSE(host.session.link.connected);
}

// The log entries after the handshake: the host's 'I' commands and its
// answers to repeated announces, in the order the device heard them.
std::vector<CommandLogEntry> identifyTraffic(const std::vector<CommandLogEntry>& log) {
    std::vector<CommandLogEntry> out;
    bool afterHandshake = false;
    for (const auto& e : log) {
        if (e.command == 0xFC && e.note == "handshake") {
            afterHandshake = true;
            out.clear();
        } else if (afterHandshake && (e.command == 'I' || e.command == 0xFC)) {
            out.push_back(e);
        }
    }
    return out;
}

// The host's last bytes may still be on their way to the device when
// connect returns.
std::vector<CommandLogEntry> identifyTrafficOnce(EmulatorHarness& emu, std::size_t identifies) {
    std::vector<CommandLogEntry> traffic;
    const auto end = std::chrono::steady_clock::now() + 2s;
    do {
        traffic = identifyTraffic(emu.commandLog());
        if (commandsOf(traffic, 'I').size() >= identifies) break;
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
    return traffic;
}

// A bootloader that repeats its announce after 'I' is answered with 0xFC and
// 'I' each time, until the record comes.
TEST(LinkOverPty, RepeatedAnnouncesAfterIdentifyAreAnsweredUntilTheRecordComes) {
    for (std::uint32_t repeats : {1u, 4u}) {
        SCOPED_TRACE("repeats " + std::to_string(repeats));
        EmulatorOptions options;
        options.faults.announceRepeats = repeats;
        EmulatorHarness emu(options);
        Host host;
        ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected) << emu.commandLogText();
        EXPECT_EQ(host.session.link.deviceInfo.deviceId, "AP64-HT");
        EXPECT_EQ(host.session.link.bootloaderVersion, 0x24);
        EXPECT_TRUE(host.ui.messages.empty());

        // I, 0xFC, I, 0xFC, ..., then the I that got the record.
        const auto traffic = identifyTrafficOnce(emu, repeats + 1);
        ASSERT_GE(traffic.size(), 2 * repeats + 1) << emu.commandLogText();
        for (std::uint32_t i = 0; i < repeats; ++i) {
            EXPECT_EQ(traffic[2 * i].command, 'I');
            EXPECT_EQ(traffic[2 * i].note, "announce repeated instead of the identification");
            EXPECT_EQ(traffic[2 * i + 1].command, 0xFC);
        }
        EXPECT_EQ(traffic[2 * repeats].command, 'I');
        EXPECT_EQ(traffic[2 * repeats].note, "AP64-HT");
    }
}

// Ten reads that bring only 0xFC end the identification: the host sent 'I'
// once and then once more for each of them, and reports a communications
// error with no version byte seen.
TEST(LinkOverPty, TenRepeatedAnnouncesAreACommunicationsError) {
    EmulatorOptions options;
    options.faults.announceRepeats = 50;
    EmulatorHarness emu(options);
    Host host;
    const ConnectResult r = host.connect(emu.slavePath());
    EXPECT_EQ(r, ConnectResult::CommunicationError) << emu.commandLogText();
    EXPECT_EQ(host.connector.failureMessage(r), "Communications error\n(BL Ver 00)");
    EXPECT_FALSE(host.session.link.connected);

    identifyTrafficOnce(emu, 11);
    std::this_thread::sleep_for(100ms);  // and nothing after those
    const auto traffic = identifyTraffic(emu.commandLog());
    EXPECT_EQ(commandsOf(traffic, 'I').size(), 11u) << emu.commandLogText();
    EXPECT_EQ(commandsOf(traffic, static_cast<char>(0xFC)).size(), 10u) << emu.commandLogText();
}

TEST(LinkOverPty, ReadRangeGoesIn128ByteChunks) {
    EmulatorHarness emu("AP64");
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected);
    emu.clearLog();
    ASSERT_EQ(readConfirmedRange(host.link, 0xF400, 0xF400 + 300), 0);
    const auto reads = commandsOf(emu.commandLog(), 'R');
    ASSERT_EQ(reads.size(), 6u);  // each chunk twice, to compare
    EXPECT_EQ(reads[0].length, 128u);
    EXPECT_EQ(reads[2].address, 0xF480u);
    EXPECT_EQ(reads[5].length, 44u);
    const auto flash = emu.readFlash(0xF400, 300);
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), host.session.image.bytes.begin() + 0xF400));
}

TEST(LinkOverPty, SettingsWriteErasesAtTheFirstTouchedByteAndVerifies) {
    EmulatorHarness emu("AP64");
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected);
    FlashImage& image = host.session.image;
    for (std::uint32_t a = 0xF410; a < 0xF4A3; ++a) {
        image.bytes[a] = static_cast<std::uint8_t>(a * 5);
        image.touched[a] = kTouchedData;
    }
    emu.clearLog();
    NoWriteProgress progress;
    ASSERT_EQ(writeImage(host.link, progress).status, 0) << emu.commandLogText();
    const auto log = emu.commandLog();
    const auto erases = commandsOf(log, 'E');
    ASSERT_EQ(erases.size(), 1u);
    EXPECT_EQ(erases[0].address, 0xF410u);
    const auto writes = commandsOf(log, 'W');
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].length, 0x30u);  // up to the 64-byte boundary
    EXPECT_EQ(writes[1].length, 0x40u);
    EXPECT_EQ(writes[2].length, 0x23u);              // ends with the last touched byte
    EXPECT_EQ(commandsOf(log, 'R').size(), 3u + 1);  // and one byte of the block at the end
    for (const auto& e : log) EXPECT_FALSE(e.writeWithoutErase) << e.text();
    const auto flash = emu.readFlash(0xF410, 0x93);
    EXPECT_TRUE(std::equal(flash.begin(), flash.end(), image.bytes.begin() + 0xF410));
    EXPECT_TRUE(host.ui.messages.empty());
}

TEST(LinkOverPty, VerifyFailuresAndADeadDeviceAreReported) {
    struct Row {
        const char* name;
        void (*arm)(EmulatorHarness&);
        std::vector<std::string> messages;
    };
    const Row rows[] = {
        {"read-back differs",
         [](EmulatorHarness& e) { e.setCorruptReadAt(0xF450); },
         {"Verify error at block 0xf440", "Configuration write failed"}},
        {"erase refused",
         [](EmulatorHarness& e) { e.setNakEraseAt(0xF400); },
         {"Unable to erase block at 0xf400", "Configuration write failed"}},
        {"write refused",
         [](EmulatorHarness& e) { e.setNakWriteAt(0xF480); },
         {"Unable to program block at 0xf480", "Configuration write failed"}},
    };
    for (const auto& row : rows) {
        EmulatorHarness emu("AP64");
        Host host;
        ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected);
        row.arm(emu);
        FlashImage& image = host.session.image;
        std::fill(image.touched.begin() + 0xF400, image.touched.begin() + 0xF500, kTouchedData);
        std::fill(image.bytes.begin() + 0xF400, image.bytes.begin() + 0xF500, 0x5A);
        NoWriteProgress progress;
        EXPECT_EQ(writeImage(host.link, progress).status, -1) << row.name;
        EXPECT_EQ(host.ui.messages, row.messages) << row.name << '\n' << emu.commandLogText();
    }
}

TEST(LinkOverPty, ADeviceUnpluggedMidWriteEndsTheWriteWithAMessage) {
    // The line goes after the erase (3 bytes), a first block (4 + 64), its
    // read-back request (4), a second block, and during the second read-back
    // request: that block was programmed but cannot be verified.
    EmulatorHarness emu("AP64");
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected);
    FlashImage& image = host.session.image;
    std::fill(image.touched.begin() + 0xF400, image.touched.begin() + 0xF600, kTouchedData);
    std::fill(image.bytes.begin() + 0xF400, image.bytes.begin() + 0xF600, 0x11);
    emu.withModel([](DeviceModel& m) { m.faults().hangupAfter = m.bytesReceived() + 3 + 2 * (68 + 4) - 2; });
    NoWriteProgress progress;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(writeImage(host.link, progress).status, -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
    ASSERT_FALSE(host.ui.messages.empty());
    EXPECT_EQ(host.ui.messages.front(), "Unable to verify block at 0xf440") << emu.commandLogText();
    EXPECT_EQ(host.ui.messages.back(), "Configuration write failed") << emu.commandLogText();
    EXPECT_TRUE(emu.hungUp());
    // Nothing more is tried once the line is gone.
    EXPECT_EQ(commandsOf(emu.commandLog(), 'W').size(), 2u);
}

TEST(LinkOverPty, Jm128FirmwareIsStagedCommittedAndWrittenInPlace) {
    EmulatorHarness emu("JM128");
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected);
    FlashImage& image = host.session.image;
    for (std::uint32_t a = 0; a < 0x300; ++a) {
        image.bytes[a] = static_cast<std::uint8_t>(a * 3 + 1);
        image.touched[a] = kTouchedData;
    }
    for (std::uint32_t a = 0x18003; a < 0x18011; ++a) {  // off the 4-byte grid on purpose
        image.bytes[a] = static_cast<std::uint8_t>(a);
        image.touched[a] = kTouchedData;
    }
    emu.clearLog();
    struct Statuses : NoWriteProgress {
        std::vector<std::string> seen;
        void setStatus(const std::string& s) override { seen.push_back(s); }
    } progress;
    ASSERT_EQ(writeImage(host.link, progress).status, 0) << emu.commandLogText();
    EXPECT_EQ(progress.seen.size(), 5u);

    const auto log = emu.commandLog();
    std::size_t commit = log.size();
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].command == 'U') commit = i;
    ASSERT_LT(commit, log.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        const auto& e = log[i];
        EXPECT_NE(e.command, 'W') << e.text();               // JM128 writes are checked writes
        if (e.command != 'V' && e.command != 'E') continue;  // (every 'V' is read back)
        if (i < commit) {
            EXPECT_GE(e.address, 0x10000u) << e.text();
            EXPECT_LT(e.address, 0x17000u) << e.text();
        } else {
            EXPECT_GE(e.address, 0x7000u) << e.text();
            EXPECT_LT(e.address, 0x20000u) << e.text();
        }
        EXPECT_EQ(e.result, CommandResult::Ack) << e.text();
    }
    const auto low = emu.readFlash(0, 0x17000);
    EXPECT_TRUE(std::equal(low.begin(), low.end(), image.bytes.begin()));
    const auto high = emu.readFlash(0x18000, 0x14);
    EXPECT_TRUE(std::equal(high.begin(), high.end(), image.bytes.begin() + 0x18000));
}

TEST(LinkOverPty, Jm128StageOneFailureSendsNoCommit) {
    EmulatorHarness emu("JM128");
    Host host;
    ASSERT_EQ(host.connect(emu.slavePath()), ConnectResult::Connected);
    emu.setNakWriteAt(0x10100);
    FlashImage& image = host.session.image;
    std::fill(image.touched.begin(), image.touched.begin() + 0x200, kTouchedData);
    NoWriteProgress progress;
    EXPECT_EQ(writeImage(host.link, progress).status, -1);
    EXPECT_TRUE(commandsOf(emu.commandLog(), 'U').empty());
    EXPECT_EQ(host.ui.messages,
              (std::vector<std::string>{"Unable to program block at 0x0100", "Configuration write failed"}));
}

}  // namespace
}  // namespace varnel::test
