#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>

#include <cstdio>
#include <fstream>

#include "shell/command_line.h"
#include "shell/config_app.h"
#include "shell/dialog_loop.h"
#include "serial/serial_port.h"
#include "emulator/emulator_runner.h"
#include "firmware/vector_remap.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "serial/system_serial_port.h"
#include "shell/firmware_sequences.h"
#include "ui/qt_user_interface.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

TEST(AppOptions, OwnOptionsComeOffAndTheRestIsTheLegacyCommandLine) {
    struct Case {
        std::vector<std::string> args;
        std::string port, firmware, mirror, legacy, error;
    } cases[] = {
        {{"--port", "/tmp/pty", "1 1 firmware.s19"}, "/tmp/pty", "", "", "1 1 firmware.s19", ""},
        {{"3", "0", "C:\\fw\\a b.s19"}, "", "", "", "3 0 C:\\fw\\a b.s19", ""},
        {{"--firmware-server", "127.0.0.1:8080", "--mirror-server", "m:81"}, "", "127.0.0.1:8080", "m:81", "", ""},
        {{"--port"}, "", "", "", "", "--port needs a value"},
        {{}, "", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const AppOptions o = parseAppOptions(c.args);
        EXPECT_EQ(o.portPath, c.port);
        EXPECT_EQ(o.firmwareServer, c.firmware);
        EXPECT_EQ(o.mirrorServer, c.mirror);
        EXPECT_EQ(o.legacyCommandLine, c.legacy);
        EXPECT_EQ(o.error, c.error);
    }
    const AppOptions help = parseAppOptions({"-h", "1 1 fw.s19"});
    EXPECT_TRUE(help.help && !help.version);
    EXPECT_EQ(help.legacyCommandLine, "1 1 fw.s19");
}

#ifdef VARNEL_GUI_PATH
// --help and --version answer without a window, even where there is no
// display for Qt to open (over ssh, in a build script).
TEST(AppOptions, HelpAndVersionPrintWithoutADisplay) {
    for (const char* option : {"--help", "--version"}) {
        const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ") +
                                    VARNEL_GUI_PATH + " " + option + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
        EXPECT_EQ(pclose(pipe), 0) << option << ": " << out;
        EXPECT_EQ(out, std::string(option) == "--help" ? appUsage() : appVersionText());
    }
    EXPECT_TRUE(parseAppOptions({"-h"}).help);
    EXPECT_EQ(parseAppOptions({"--version"}).legacyCommandLine, "");
}
#endif

TEST(UnattendedRequest, ReadsThePositions) {
    const auto keep = parseUnattended("3 1 firmware.s19");
    EXPECT_EQ(keep.portDigit, '3');
    EXPECT_TRUE(keep.keepSettings);
    EXPECT_EQ(keep.firmwarePath, "firmware.s19");
    const auto own = parseUnattended("3 0 \"my fw.s19\" ");
    EXPECT_FALSE(own.keepSettings);
    EXPECT_EQ(own.firmwarePath, "\"my fw.s19\" ");  // taken unchanged
}

// The loop offline: which dialog each family byte opens.
TEST(DialogLoop, DispatchesOnTheFamilyByteOffline) {
    struct Case {
        std::uint8_t family, type;
        std::string shown;
        LoopEnd end;
    } cases[] = {
        {0, 3, "tracker", LoopEnd::LeaveBootloader},
        {2, 1, "tracker", LoopEnd::LeaveBootloader},
        {0, 4, "init", LoopEnd::Abandon},
        {1, 9, "weather", LoopEnd::LeaveBootloader},
        {3, 0, "", LoopEnd::LeaveBootloader},
        {0xFF, 0xFF, "init", LoopEnd::LeaveBootloader},
    };
    for (const auto& c : cases) {
        test::UiFixture f;
        f.session.link.deviceInfo.deviceId = "AW60-ABC";
        f.session.settings.setFamily(c.family);
        f.session.settings.setType(c.type);
        std::string shown;
        ConfigDialogs dialogs{[&] {
                                  shown += "tracker";
                                  return 0;
                              },
                              [&] {
                                  shown += "weather";
                                  return 0;
                              },
                              [&] {
                                  shown += "init";
                                  return 0;
                              }};
        EXPECT_EQ(runDialogLoop(f.session, f.ui, dialogs), c.end) << int(c.family);
        EXPECT_EQ(shown, c.shown) << int(c.family);
        EXPECT_EQ(f.session.target.chipName, "AW60");
        EXPECT_EQ(f.session.target.settingsAddress, 0xF800u);
    }
}

class ConnectedAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        emu = std::make_unique<EmulatorRunner>(EmulatorOptions{});
        emu->start();
        f.session.port = makeSystemSerialPort();
    }
    void TearDown() override { f.session.port->closePort(); }
    void connect() {
        BootLink link(f.session, f.ui);
        f.session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect(emu->slavePath(), true), ConnectResult::Connected);
        f.session.link.linkAbort = LinkState::kAbortIdle;
    }
    int readsAt(std::uint32_t address) {
        int n = 0;
        for (const auto& e : emu->commandLog()) n += e.command == 'R' && e.address == address;
        return n;
    }
    test::UiFixture f;
    std::unique_ptr<EmulatorRunner> emu;
};

TEST_F(ConnectedAppTest, ADialogEndingWith99ReadsTheTrackerAgain) {
    connect();
    emu->clearLog();
    int passes = 0;
    std::vector<int> seen;
    ConfigDialogs dialogs;
    dialogs.tracker = [&] {
        ++passes;
        seen.push_back(f.session.settings.profile(0)[0]);
        f.session.settings.profile(0)[0] = 0xEE;  // an edit that the fresh read replaces
        return passes == 1 ? kResultReconnect : 0;
    };
    EXPECT_EQ(runDialogLoop(f.session, f.ui, dialogs), LoopEnd::LeaveBootloader);
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(readsAt(0xF400), 2);  // the settings area, once per pass
    EXPECT_EQ(readsAt(0xF600), 2);  // and the script area
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0], 0xEE);
    EXPECT_EQ(seen[1], seen[0]);
    EXPECT_FALSE(f.session.link.sameTargetReconnected);
}

TEST_F(ConnectedAppTest, TheSameTargetReconnectedKeepsTheSettingsHeld) {
    connect();
    f.session.link.sameTargetReconnected = true;
    f.session.settings.setFamily(0);
    f.session.settings.profile(1)[3] = 0x33;
    emu->clearLog();
    ConfigDialogs dialogs;
    dialogs.tracker = [] { return 0; };
    runDialogLoop(f.session, f.ui, dialogs);
    EXPECT_EQ(readsAt(0xF400), 0);
    EXPECT_EQ(f.session.settings.profile(1)[3], 0x33);
}

// The legacy command line, as a Windows shortcut would give it, flashes the
// demo firmware through the port given with --port, keeping the settings.
TEST_F(ConnectedAppTest, LegacyCommandLineFlashesTheTrackerKeepingItsSettings) {
    const auto settingsBefore = emu->readFlash(0xF400, 0x200);
    AppOptions options =
        parseAppOptions({"--port", emu->slavePath(), std::string("1 1 ") + VARNEL_TEST_DATA_DIR + "/ap64-demo.s19"});
    CConfigApp app(f.context, options);
    bool okWaited = false;
    test::onNextModal([&](QWidget* w) {
        auto* ok = w->findChild<QPushButton*>("okButton");
        if (ok == nullptr || !ok->isEnabled()) {
            okWaited = true;  // the write is still running: OK is not offered yet
            return false;
        }
        ok->click();
        return true;
    });
    EXPECT_EQ(app.run(), 0);
    EXPECT_TRUE(okWaited);
    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();
    EXPECT_EQ(emu->readFlash(0x8000, 3), (std::vector<std::uint8_t>{0x45, 0x01, 0x00}));
    EXPECT_EQ(emu->readFlash(0xF400, 0x200), settingsBefore);
    // 'Q' sends the tracker back to its firmware.
    EXPECT_TRUE(emu->waitForState(DeviceState::Firmware, std::chrono::seconds(2)));
    const auto log = emu->commandLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().command, 'Q');
    EXPECT_FALSE(f.session.port->isOpen());
}

// Settings that do not arrive after a good connect (an adapter whose latency
// timer outlasts the read's 100 ms gap) bring the connect window back, with
// the port closed; Cancel there ends the program.
TEST(ConfigAppQt, AFailedReadAfterConnectingShowsTheConnectWindowAgain) {
    EmulatorOptions options;
    options.adapterLatencyMs = 200;
    EmulatorRunner emu(options);
    emu.start();
    test::UiFixture f;
    f.session.port = makeSystemSerialPort();
    CConfigApp app(f.context, parseAppOptions({"--port", emu.slavePath()}));
    std::vector<bool> portOpen;
    test::onNextModal([&](QWidget* w) {
        auto* connect = w->findChild<QPushButton*>("connectButton");
        if (connect == nullptr || !w->isVisible()) return false;
        portOpen.push_back(f.session.port->isOpen());
        if (portOpen.size() == 1) {
            connect->click();
            return false;
        }
        w->findChild<QPushButton*>("cancelButton")->click();
        return true;
    });
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(portOpen, (std::vector<bool>{false, false}));
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Error receiving data from device"});
    EXPECT_FALSE(f.session.port->isOpen());
}

// Nothing is erased for a firmware that cannot be loaded, or that would
// leave the tracker unable to start (no reset vector): nobody is there to ask.
TEST_F(ConnectedAppTest, LegacyLoadThatCannotBeWrittenStopsWithAFailureStatus) {
    const std::string noVector = QDir::temp().filePath("varnel-no-reset-vector.s19").toStdString();
    std::ofstream(noVector) << "S1058000450134\nS9030000FC\n";
    const std::string noRecords = QDir::temp().filePath("varnel-no-records.s19").toStdString();
    std::ofstream(noRecords) << "Release notes\n";
    const struct {
        std::string file, message;
    } cases[] = {{"/nonexistent/fw.s19", "Error loading firmware file"},
                 {noVector, kNoResetVector},
                 {noRecords, "The file holds no firmware records."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        f.ui.messages.clear();
        emu->clearLog();
        AppOptions options = parseAppOptions({"--port", emu->slavePath(), "1 0 " + c.file});
        CConfigApp app(f.context, options);
        EXPECT_EQ(app.run(), 1);
        EXPECT_EQ(f.ui.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(emu->waitForState(DeviceState::Firmware, std::chrono::seconds(2)));
        int erases = 0;
        for (const auto& e : emu->commandLog()) erases += e.command == 'E';
        EXPECT_EQ(erases, 0);
        EXPECT_EQ(emu->commandLog().back().command, 'Q');
        EXPECT_FALSE(f.session.port->isOpen());
    }
    std::remove(noVector.c_str());
    std::remove(noRecords.c_str());
}

}  // namespace
}  // namespace varnel

namespace varnel {
namespace {

// A quit request that arrives during a serial wait stops the running attempt.
TEST(QtUserInterface, AQuitRequestAsksTheLinkToAbort) {
    LinkState link;
    link.linkAbort = LinkState::kAbortRunning;
    QtUserInterface ui(link);
    ui.pump();
    EXPECT_EQ(link.linkAbort, LinkState::kAbortRunning);
    QEvent quit(QEvent::Quit);
    ui.eventFilter(QCoreApplication::instance(), &quit);
    ui.pump();
    EXPECT_TRUE(ui.quitRequested());
    EXPECT_EQ(link.linkAbort, LinkState::kAbortRequested);
}

}  // namespace
}  // namespace varnel
