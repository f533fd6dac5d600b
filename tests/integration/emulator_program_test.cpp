#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "emu_harness.h"

extern char** environ;

using namespace std::chrono_literals;

namespace varnel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Answers the announce of a bootloader that is already running.
void handshake(HostPort& port) {
    ASSERT_TRUE(port.waitFor(0xFC, 2s));
    ASSERT_TRUE(port.write({0xFC}));
    ASSERT_EQ(port.read(1, 1s), Bytes{0xFC});
    std::this_thread::sleep_for(60ms);  // an announce may have crossed our answer
    port.flushInput();
}

TEST(EmulatorLink, FastLinkAfterReopeningAtTheNewSpeed) {
    EmulatorHarness emu("AP64", /*inBootloader=*/true);
    {
        HostPort port(emu.slavePath(), B19200);
        handshake(port);
        ASSERT_TRUE(port.write({'H'}));
    }
    HostPort fast(emu.slavePath(), B115200);
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fast.write({'R', 0xF4, 0x00, 0x05}));
    const Bytes settings = fast.read(5, 2s);
    EXPECT_EQ(settings, emu.readFlash(0xF400, 5)) << emu.commandLogText();
    EXPECT_EQ(emu.lineSpeed(), 115200u);
}

TEST(EmulatorLink, HangUpEndsTheHostsReads) {
    EmulatorHarness emu("AP64", /*inBootloader=*/true);
    HostPort port(emu.slavePath(), B19200);
    handshake(port);
    emu.setHangupAfter(3);  // one byte heard already, two more
    ASSERT_TRUE(port.write({'R', 0xF4, 0x00, 0x05}));
    EXPECT_TRUE(port.read(5, 1s).empty());
    EXPECT_TRUE(emu.hungUp());
}

std::string runUntilPath(pid_t& pid, const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string line;
    char c;
    while (rc == 0 && ::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    return line;
}

TEST(EmulatorProgram, WritesThroughTheLinkAndSavesFlashAndLogOnTerminate) {
    const std::string dir = ::testing::TempDir();
    const std::string link = dir + "/varnel-emu-test-port";
    const std::string saved = dir + "/varnel-emu-test-flash.bin";
    const std::string log = dir + "/varnel-emu-test.log";
    pid_t pid = 0;
    const std::string path = runUntilPath(
        pid, {VARNEL_EMU_PATH, "--chip", "KX8", "--bootloader", "--link", link, "--save-flash", saved, "--log", log});
    ASSERT_FALSE(path.empty());
    {
        HostPort port(link, B19200);
        ASSERT_TRUE(port.isOpen());
        handshake(port);
        ASSERT_TRUE(port.write({'E', 0xFB, 0x80}));
        EXPECT_EQ(port.read(1, 2s), Bytes{0xFC});
        ASSERT_TRUE(port.write({'W', 0xFB, 0x80, 3, 0x00, 0x01, 0x02}));
        EXPECT_EQ(port.read(1, 2s), Bytes{0xFC});
    }
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::ifstream in(saved, std::ios::binary);
    const Bytes flash((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(flash.size(), 0x40000u);
    EXPECT_EQ(Bytes(flash.begin() + 0xFB80, flash.begin() + 0xFB84), (Bytes{0x00, 0x01, 0x02, 0xFF}));

    std::ifstream logIn(log);
    const std::string text((std::istreambuf_iterator<char>(logIn)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("'W' addr=0x0FB80 len=3 ack"), std::string::npos) << text;
    EXPECT_EQ(access(link.c_str(), F_OK), -1);  // the link goes with the emulator
    std::remove(saved.c_str());
    std::remove(log.c_str());
}

}  // namespace
}  // namespace varnel::test
