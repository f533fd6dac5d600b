#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "config/profile_record.h"
#include "config/settings_packing.h"
#include "emu_harness.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "link/link_messages.h"
#include "serial/posix_serial_port.h"
#include "link/staged_write.h"
#include "serial/system_serial_port.h"
#include "link/write_progress.h"
#include "session/session.h"
#include "support/recording_ui.h"

using namespace std::chrono_literals;

namespace varnel::test {
namespace {

std::size_t openDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

// One session the way a command runs it: connect, read the settings, change
// the beacon interval, write, read the area back. Every cycle starts from a
// fresh session and port, as a user's next command does.
struct Cycle {
    std::unique_ptr<Session> session = std::make_unique<Session>();
    RecordingUi ui;
    std::unique_ptr<BootLink> link;
    std::vector<std::uint8_t> written;

    explicit Cycle() {
        session->port = makeSystemSerialPort();
        link = std::make_unique<BootLink>(*session, ui);
    }
    ~Cycle() {
        if (session->link.connected) link->leaveBootloader();
        session->port->closePort();
    }
    bool connectAndRead(const std::string& path) {
        session->link.linkAbort = LinkState::kAbortRunning;
        const ConnectResult r = Connector(*link).connect(path, true);
        session->link.linkAbort = LinkState::kAbortIdle;
        return r == ConnectResult::Connected && readDeviceConfiguration(*link, *session) == 0;
    }
    int write(std::uint16_t interval) {
        ProfileRecord(session->settings.profile(0), session->target.kind).setBeaconInterval(interval);
        session->image.reset();
        packSettings(session->image, session->target, {session->settings, session->radio, session->script});
        const DeviceTarget& t = session->target;
        written.assign(session->image.bytes.begin() + t.settingsAddress,
                       session->image.bytes.begin() + t.settingsAddress + t.settingsSize);
        NoWriteProgress progress;
        return writeImage(*link, progress).status;
    }
    bool verified() {
        const DeviceTarget& t = session->target;
        std::vector<std::uint8_t> back(t.settingsSize);
        return readConfirmedInto(*link, t.settingsAddress, t.settingsAddress + t.settingsSize, back.data()) == 0 &&
               back == written;
    }
};

TEST(Soak, HundredCyclesVerifyAndTwentyUnpluggedWritesFailCleanly) {
    const auto start = std::chrono::steady_clock::now();
    const std::size_t baseline = openDescriptors();
    std::uint64_t writeBytes = 0;
    {
        EmulatorHarness emu("AP64");
        std::size_t steady = 0;
        for (int i = 0; i < 100; ++i) {
            SCOPED_TRACE("cycle " + std::to_string(i));
            {
                Cycle c;
                ASSERT_TRUE(c.connectAndRead(emu.slavePath())) << testing::PrintToString(c.ui.messages);
                const std::uint64_t before = emu.withModel([](DeviceModel& m) { return m.bytesReceived(); });
                ASSERT_EQ(c.write(static_cast<std::uint16_t>(60 + i)), 0) << testing::PrintToString(c.ui.messages);
                writeBytes = emu.withModel([](DeviceModel& m) { return m.bytesReceived(); }) - before;
                ASSERT_TRUE(c.verified());
                EXPECT_EQ(emu.readFlash(0xF400, 0x200), c.written);
                EXPECT_TRUE(c.ui.messages.empty()) << c.ui.messages.front();
            }
            // Whatever the first cycle leaves open (the emulator's own), no
            // later one adds to.
            if (i == 0) steady = openDescriptors();
            ASSERT_EQ(openDescriptors(), steady);
        }
    }

    // The tracker is unplugged somewhere in the write: the write fails with
    // the block it was on and "Configuration write failed", every block
    // before that one holds the new bytes, and nothing hangs. A new tracker
    // each time, as the unplugged one is gone. The later the unplug, the
    // later the block named.
    std::mt19937 random(20261208);
    ASSERT_GT(writeBytes, 0u);
    std::vector<std::uint64_t> unplugAt(20);
    for (auto& at : unplugAt) at = std::uniform_int_distribution<std::uint64_t>(1, writeBytes)(random);
    std::sort(unplugAt.begin(), unplugAt.end());
    unsigned lastBlock = 0;
    for (const std::uint64_t at : unplugAt) {
        SCOPED_TRACE("unplugged after byte " + std::to_string(at) + " of " + std::to_string(writeBytes));
        EmulatorHarness emu("AP64");
        Cycle c;
        ASSERT_TRUE(c.connectAndRead(emu.slavePath()));
        emu.withModel([at](DeviceModel& m) { m.faults().hangupAfter = m.bytesReceived() + at; });
        const auto began = std::chrono::steady_clock::now();
        const int result = c.write(1234);
        EXPECT_LT(std::chrono::steady_clock::now() - began, 20s);
        EXPECT_EQ(result, -1);
        // The block, that the tracker could not be found again (perhaps
        // after the port's own message), and the general message.
        auto& m = c.ui.messages;
        if (!m.empty() && m.front().rfind("Can't open serial port", 0) == 0) m.erase(m.begin());
        ASSERT_EQ(m.size(), 3u) << testing::PrintToString(m);
        EXPECT_EQ(m[1], link_messages::kLinkLost);
        EXPECT_EQ(m[2], "Configuration write failed");
        unsigned block = 0;
        char kind[16] = {};
        ASSERT_EQ(std::sscanf(c.ui.messages[0].c_str(), "Unable to %15s block at 0x%x", kind, &block), 2)
            << c.ui.messages[0];
        const std::string k = kind;
        // Which of a block's steps meets the unplug depends on timing.
        EXPECT_TRUE((k == "erase" && block % 0x200 == 0) || ((k == "program" || k == "verify") && block % 0x40 == 0))
            << c.ui.messages[0];
        ASSERT_TRUE(block >= 0xF400 && block < 0xF800) << c.ui.messages[0];
        EXPECT_GE(block, lastBlock);
        lastBlock = block;
        const auto done = emu.readFlash(0xF400, block - 0xF400);
        EXPECT_TRUE(std::equal(done.begin(), done.end(), c.session->image.bytes.begin() + 0xF400));
    }
    EXPECT_EQ(openDescriptors(), baseline);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 240s);
}

}  // namespace
}  // namespace varnel::test
