#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "serial/posix_serial_port.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point t) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// A pseudo-terminal pair: the port under test opens the slave side, the
// test plays the device on the master side.
class PtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slave = ptsname(master);
    }
    void TearDown() override {
        port.closePort();
        if (master >= 0) close(master);
    }
    void deviceSends(std::initializer_list<std::uint8_t> bytes) {
        const std::vector<std::uint8_t> v(bytes);
        ASSERT_EQ(write(master, v.data(), v.size()), static_cast<ssize_t>(v.size()));
        usleep(20000);  // let the bytes cross the pty
    }

    int master = -1;
    std::string slave;
    PosixSerialPort port;
    test::RecordingUi ui;
};

TEST_F(PtyTest, OpensRawEightNOneAtTheGivenSpeed) {
    // A descriptor opened before the port is taken sees the same line settings.
    const int probe = open(slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(probe, 0);
    ASSERT_EQ(port.openPort(slave, "4800", ui), 1);
    EXPECT_EQ(port.baudRate(), 4800u);
    termios tio{};
    ASSERT_EQ(tcgetattr(probe, &tio), 0);
    close(probe);
    EXPECT_EQ(cfgetospeed(&tio), B4800);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));

    ASSERT_EQ(port.closePort(), 0);
    ASSERT_EQ(port.openPort(slave, "", ui), 1);
    EXPECT_EQ(port.baudRate(), 9600u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PtyTest, OpenFailuresAreReportedWithTheirMessages) {
    struct Row {
        std::string name, speed, message;
    };
    const Row rows[] = {
        {"/dev/no-such-serial-port", "4800", "Can't open serial port"},
        {slave, "48x0", "Invalid port speed specified"},
        {slave, "-4800", "Invalid port speed specified"},
        {slave, "12345", "Unable to access serial port"},  // no such line speed
    };
    for (const auto& r : rows) {
        ui.messages.clear();
        EXPECT_EQ(port.openPort(r.name, r.speed, ui), -1) << r.name << ' ' << r.speed;
        EXPECT_EQ(ui.messages, std::vector<std::string>{r.message});
        EXPECT_FALSE(port.isOpen());
    }
    // A failed open leaves nothing held: the port opens normally afterwards.
    EXPECT_EQ(port.openPort(slave, "19200", ui), 1);
}

TEST_F(PtyTest, ASecondProgramIsRefusedEvenAsRoot) {
    ASSERT_EQ(port.openPort(slave, "19200", ui), 1);
    PosixSerialPort other;
    EXPECT_EQ(other.openPort(slave, "19200", ui), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't open serial port"});
    // Closing releases it, so reopening at a new speed works.
    ASSERT_EQ(port.closePort(), 0);
    EXPECT_EQ(other.openPort(slave, "115200", ui), 1);
    other.closePort();
}

TEST_F(PtyTest, ReadTimeOutsFollowTheTable) {
    ASSERT_EQ(port.openPort(slave, "19200", ui), 1);
    std::uint8_t buf[4] = {0xAA, 0xAA, 0xAA, 0xAA};

    auto t = Clock::now();
    EXPECT_EQ(port.readBytes(buf, 1), 0);
    const long silent = msSince(t);
    EXPECT_GE(silent, 495);
    EXPECT_LT(silent, 800);
    EXPECT_EQ(buf[0], 0xAA);

    // Two of four bytes: the read ends after the 100 ms gap, not the total.
    deviceSends({1, 2});
    t = Clock::now();
    EXPECT_EQ(port.readBytes(buf, 4), 2);
    EXPECT_LT(msSince(t), 400);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[1], 2);
    EXPECT_EQ(buf[2], 0xAA);
}

TEST_F(PtyTest, FlushKeepsOrDropsUnreadInput) {
    ASSERT_EQ(port.openPort(slave, "19200", ui), 1);
    deviceSends({7});
    port.flushPort(0);
    std::uint8_t b = 0;
    EXPECT_EQ(port.readBytes(&b, 1), 1);
    EXPECT_EQ(b, 7);
    deviceSends({8});
    port.flushPort(1);
    EXPECT_EQ(port.readBytes(&b, 1), 0);
}

TEST_F(PtyTest, OneByteHelpersAndWrites) {
    ASSERT_EQ(port.openPort(slave, "19200", ui), 1);
    EXPECT_EQ(port.exchangeByte(0x8A), 0xFF);  // nobody answers
    const std::uint8_t data[3] = {'a', 'b', 'c'};
    EXPECT_EQ(port.writeBytes(data, 3), 3);
    EXPECT_EQ(port.sendByte('d'), 0);
    char got[8] = {};
    usleep(20000);
    ASSERT_EQ(read(master, got, sizeof got), 5);
    EXPECT_EQ(std::string(got, 5), "\x8A"
                                   "abcd");

    deviceSends({0x42});
    EXPECT_EQ(port.receiveByte(), 0x42);
}

TEST_F(PtyTest, ReadFailsOnceTheFarSideHasGone) {
    ASSERT_EQ(port.openPort(slave, "19200", ui), 1);
    close(master);
    master = -1;
    std::uint8_t b = 0;
    EXPECT_EQ(port.readBytes(&b, 1), -1);
}

// Plays the window: counts its turns, and in one of them sends the
// device's reply (as if it arrived during a repaint) and tries to use the
// port itself, as a click handler would.
class TurnCountingUi : public test::RecordingUi {
public:
    int master = -1;
    SerialPort* port = nullptr;
    int replyAtTurn = -1;
    int nestedRead = 0, nestedWrite = 0;
    std::vector<long> turnsAtMs;
    Clock::time_point start = Clock::now();
    void pump() override {
        turnsAtMs.push_back(msSince(start));
        if (static_cast<int>(turnsAtMs.size()) != replyAtTurn) return;
        const std::uint8_t reply[2] = {0xFC, 0x42};
        ASSERT_EQ(write(master, reply, 2), 2);
        usleep(5000);
        port->flushPort(1);
        std::uint8_t b = 0x8A;
        nestedWrite = port->writeBytes(&b, 1);
        nestedRead = port->readBytes(&b, 1);
    }
};

TEST_F(PtyTest, AWaitHandsTheInterfaceTurnsWithoutChangingTheTimeOut) {
    TurnCountingUi turns;
    turns.master = master;
    turns.port = &port;
    port.setWaitHandler(&turns);
    ASSERT_EQ(port.openPort(slave, "19200", ui), 1);

    // Nothing arrives: still about 500 + 2 ms, now with a turn every slice.
    std::uint8_t b = 0x55;
    turns.start = Clock::now();
    EXPECT_EQ(port.readBytes(&b, 1), 0);
    const long took = msSince(turns.start);
    EXPECT_GE(took, 495);
    EXPECT_LT(took, 700);
    EXPECT_EQ(b, 0x55);
    ASSERT_GE(turns.turnsAtMs.size(), 15u);
    // Slices are 10 ms; the bound leaves room for a busy machine and still
    // tells them from one half-second wait.
    long previous = 0;
    for (long at : turns.turnsAtMs) {
        EXPECT_LT(at - previous, 100);
        previous = at;
    }

    // A reply that arrives during a turn is read whole, and the port refuses
    // to be used from inside the turn, so nothing takes or discards it.
    turns.turnsAtMs.clear();
    turns.replyAtTurn = 3;
    turns.start = Clock::now();
    std::uint8_t two[2] = {0, 0};
    EXPECT_EQ(port.readBytes(two, 2), 2);
    EXPECT_EQ(two[1], 0x42);
    EXPECT_LT(msSince(turns.start), 200);
    EXPECT_EQ(turns.nestedWrite, -1);
    EXPECT_EQ(turns.nestedRead, -1);
}

}  // namespace
}  // namespace varnel
