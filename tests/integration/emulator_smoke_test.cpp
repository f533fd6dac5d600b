#include <gtest/gtest.h>

#include <thread>

#include "emu_harness.h"

using namespace std::chrono_literals;

namespace varnel::test {
namespace {

const std::vector<std::uint8_t> kResetRequest{'\r', '$', '~', 'R', '$', '~', 'R'};

// What the host's connect does: reset request at the firmware's speed, then
// reopen at the bootloader's speed and answer its announce.
void resetIntoBootloader(EmulatorHarness& emu, HostPort& port) {
    ASSERT_TRUE(port.write(kResetRequest));
    ASSERT_TRUE(emu.waitForState(DeviceState::Announcing, 2s)) << emu.commandLogText();
}

TEST(EmulatorSmoke, ResetHandshakeAndIdentifyOverThePty) {
    EmulatorHarness emu("AP64");
    {
        HostPort firmware(emu.slavePath(), B4800);
        ASSERT_TRUE(firmware.isOpen());
        std::this_thread::sleep_for(50ms);
        resetIntoBootloader(emu, firmware);
    }
    HostPort port(emu.slavePath(), B19200);
    ASSERT_TRUE(port.waitFor(0xFC, 2s)) << emu.commandLogText();
    ASSERT_TRUE(port.write({0xFC}));
    ASSERT_TRUE(emu.waitForState(DeviceState::Bootloader, 2s));
    ASSERT_EQ(port.read(1, 1s), std::vector<std::uint8_t>{0xFC});  // the handshake's acknowledgement

    std::this_thread::sleep_for(60ms);  // an announce may have crossed our answer
    port.flushInput();
    ASSERT_TRUE(port.write({'I'}));
    const auto reply = port.read(1 + 12 + 8 + 8, 2s);
    ASSERT_EQ(reply.size(), 29u) << emu.commandLogText();
    const DeviceInfo info = emu.deviceInfo();
    EXPECT_EQ(reply[1] << 8 | reply[2], info.validStart);
    EXPECT_EQ(reply[9] << 8 | reply[10], info.eraseBlockSize);
    EXPECT_EQ(std::string(reply.begin() + 21, reply.begin() + 28), "AP64-HT");
    EXPECT_EQ(reply[28], 0x00);
}

TEST(EmulatorSmoke, ResetRequestAtTheWrongSpeedIsNotHeard) {
    EmulatorHarness emu("JM60");
    HostPort port(emu.slavePath(), B9600);
    ASSERT_TRUE(port.isOpen());
    std::this_thread::sleep_for(100ms);  // let the emulator see the port settled at 9600
    ASSERT_TRUE(port.write(kResetRequest));
    EXPECT_FALSE(emu.waitForState(DeviceState::Announcing, 500ms)) << emu.commandLogText();
    const auto log = emu.commandLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().result, CommandResult::Garbled);
}

}  // namespace
}  // namespace varnel::test
