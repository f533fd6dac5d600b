#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "config/device_target.h"
#include "core/user_interface.h"
#include "emulator/model/default_settings.h"
#include "emulator/model/emulated_chip.h"
#include "emulator/model/model_serial_port.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"
#include "link/write_progress.h"
#include "session/session.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

class QuietUi : public UserInterface {
public:
    std::vector<std::string> said;
    void message(const std::string& text, MessageKind) override { said.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
};

// The host's link on the model through the virtual port, as the fuzz target
// and in-process tests run it.
struct VirtualLine {
    explicit VirtualLine(const std::string& chip) : model(*findEmulatedChip(chip)), port(model) {
        writeDefaultSettings(model.flash(), model.chip());
        boot.setClock(port);
    }
    ConnectResult connect() {
        session->link.linkAbort = LinkState::kAbortRunning;
        const ConnectResult r = Connector(boot).connect("virtual", true);
        session->link.linkAbort = LinkState::kAbortIdle;
        selectTarget(session->target, session->link.chipName);
        return r;
    }
    bool flashHolds(std::uint32_t start, std::uint32_t size) const {
        for (std::uint32_t a = start; a < start + size; ++a)
            if (model.flash().read(a) != session->image.bytes[a]) return false;
        return true;
    }

    DeviceModel model;
    ModelSerialPort port;
    std::unique_ptr<Session> session = std::make_unique<Session>();
    QuietUi ui;
    BootLink boot{port, session->link, session->target, session->image, ui};
};

TEST(ModelSerialPort, CarriesTheLinkOnEveryChipInVirtualTime) {
    for (const auto& entry : kTargetTable) {
        const std::string chip(entry.chipName);
        SCOPED_TRACE(chip);
        VirtualLine line(chip);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(line.connect(), ConnectResult::Connected);
        EXPECT_EQ(line.session->link.deviceInfo.deviceId, line.model.deviceInfo().deviceId);
        const DeviceTarget& t = line.session->target;
        ASSERT_EQ(readDeviceConfiguration(line.boot, *line.session), 0);
        EXPECT_TRUE(line.flashHolds(t.settingsAddress, t.settingsSize));

        // A firmware start (JM128: through its staging area) and the settings.
        FlashImage& image = line.session->image;
        image.reset();
        const std::uint32_t from = t.kind == KindJM128 ? 0 : line.session->link.deviceInfo.validStart;
        for (std::uint32_t a = from; a < from + 0x200; ++a) {
            image.bytes[a] = static_cast<std::uint8_t>(a * 7);
            image.touched[a] = kTouchedData;
        }
        NoWriteProgress progress;
        ASSERT_EQ(writeImage(line.boot, progress).status, 0);
        EXPECT_TRUE(line.flashHolds(from, 0x200));
        EXPECT_TRUE(line.ui.said.empty());
        // The reset, the announce wait and the staged load take seconds of
        // virtual time and next to none of the machine's.
        EXPECT_GT(line.port.nowMs(), 100);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    }
}

TEST(ModelSerialPort, LineFaultsHitTheBytesTheyAimAtAndTheLinkReadsAgain) {
    struct Case {
        ModelSerialPort::FaultKind kind;
        std::uint8_t value;
    };
    // A flipped, doubled or inserted byte, and a gap longer than the 100 ms
    // between two bytes (which ends a read short), each once in a reply: the
    // fault fires, and the link's second read of the chunk disagrees with the
    // first, so it reads again until two agree.
    const Case cases[] = {
        {ModelSerialPort::FaultKind::Flip, 0x10},   {ModelSerialPort::FaultKind::Duplicate, 0},
        {ModelSerialPort::FaultKind::Insert, 0x00}, {ModelSerialPort::FaultKind::Delay, 150},
        {ModelSerialPort::FaultKind::Delay, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind) * 1000 + c.value);
        VirtualLine line("AP64");
        ASSERT_EQ(line.connect(), ConnectResult::Connected);
        const std::uint64_t sent = line.port.bytesSent(ModelSerialPort::Way::ToHost);
        line.port.addFault({ModelSerialPort::Way::ToHost, sent + 5, c.kind, c.value});
        std::uint8_t got[128] = {};
        const std::uint32_t at = line.session->target.settingsAddress;
        ASSERT_EQ(readConfirmedInto(line.boot, at, at + 128, got), 0);
        EXPECT_GE(line.port.faultsFired(), 1u);
        for (std::uint32_t i = 0; i < 128; ++i) ASSERT_EQ(got[i], line.model.flash().read(at + i)) << i;
    }
}

// The device's answers as the host's UART hears them, the same on both
// clocks (and as varnel-emu's pty gives them): the bootloader announces at
// 19200; a host listening faster hears each 0xFC as 0x00, one listening
// slower hears nothing; over the board's own USB port speeds mean nothing.
TEST(ModelSerialPort, AByteAtTheWrongSpeedIsHeardAsTheDevicesUartHearsIt) {
    struct Case {
        const char* chip;
        bool usb;
        const char* hostSpeed;
        int got;  // the byte heard, -1: nothing
    };
    const Case cases[] = {
        {"AP64", false, "19200", 0xFC},
        {"AP64", false, "57600", 0x00},
        {"AP64", false, "9600", -1},
        {"JM60", true, "9600", 0xFC},
    };
    for (const auto time : {ModelSerialPort::Time::Virtual, ModelSerialPort::Time::Real})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.hostSpeed) + (time == ModelSerialPort::Time::Real ? " real" : " virtual"));
            DeviceModel model(*findEmulatedChip(c.chip));
            model.setUsbCdc(c.usb);
            ModelSerialPort port([&](const std::string&) { return &model; }, time);
            model.startInBootloader(DeviceModel::Clock::time_point{} + std::chrono::milliseconds(port.nowMs()));
            QuietUi ui;
            ASSERT_EQ(port.openPort("emulated", c.hostSpeed, ui), 1);
            std::uint8_t b = 0x55;
            const int n = port.readBytes(&b, 1);
            EXPECT_EQ(n == 1 ? b : -1, c.got);
        }
}

// On the real clock (the page's emulated trackers) a wait keeps the read
// time-outs in the machine's time and hands the interface its turn within
// every 10 ms; the port refuses to be used from inside a turn, while the
// command it waits for is still on the line.
TEST(ModelSerialPort, OnTheRealClockAWaitTakesItsTimeAndHandsTheInterfaceItsTurns) {
    DeviceModel model(*findEmulatedChip("AP64"));
    model.faults().silent = true;
    ModelSerialPort port([&](const std::string& name) { return name == "emulated:AP64" ? &model : nullptr; },
                         ModelSerialPort::Time::Real);
    test::RecordingUi ui;
    int fromTurn = 0;
    ui.onPump = [&] {
        std::uint8_t b = 0;
        fromTurn += port.readBytes(&b, 1) + port.writeBytes(&b, 1);
    };
    port.setWaitHandler(&ui);
    ASSERT_EQ(port.openPort("emulated:AP64", "9600", ui), 1);
    std::uint8_t buffer[10] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.readBytes(buffer, 10), 0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(ms.count(), 520);  // 500 + 2 * 10
    EXPECT_LT(ms.count(), 1000);
    EXPECT_GE(ui.pumps, 52);
    EXPECT_EQ(fromTurn, -2 * ui.pumps);
    // A name that is no emulated tracker does not open, and says so.
    EXPECT_EQ(port.openPort("emulated:NONE", "9600", ui), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't open serial port"});
}

// The page's emulated trackers: the link connects and reads every chip on
// the real clock, each tracker found by its port's name.
TEST(ModelSerialPort, TheLinkConnectsAndReadsEveryChipOnTheRealClock) {
    std::size_t count = 0;
    const EmulatedChip* chips = emulatedChips(count);
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(std::string(chips[i].chipName));
        DeviceModel model(chips[i]);
        writeDefaultSettings(model.flash(), chips[i]);
        Session session;
        session.port = std::make_unique<ModelSerialPort>(
            [&](const std::string& name) { return name == "emulated" ? &model : nullptr; },
            ModelSerialPort::Time::Real);
        test::RecordingUi ui;
        BootLink link(session, ui);
        session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect("emulated", true), ConnectResult::Connected);
        EXPECT_EQ(session.link.chipName, chips[i].chipName);
        EXPECT_EQ(readDeviceConfiguration(link, session), 0);
        EXPECT_EQ(session.settings.family(), 0);
        EXPECT_TRUE(ui.messages.empty());
    }
}

}  // namespace
}  // namespace varnel
