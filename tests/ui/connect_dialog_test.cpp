#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QLineEdit>
#include <QTest>

#include "serial/serial_port.h"
#include "emulator/emulator_runner.h"
#include "link/boot_link.h"
#include "link/fake_bootloader.h"
#include "serial/system_serial_port.h"
#include "ui/app_settings.h"
#include "ui/connect_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

void clearSettings() { QSettings("Brenvale", "varnelcfg").clear(); }

QPushButton* button(QDialog& d, const char* name) { return d.findChild<QPushButton*>(name); }

class ConnectDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearSettings();
        f.session.port = makeSystemSerialPort();
    }
    void TearDown() override {
        f.session.port->closePort();
        clearSettings();
    }
    CConnectDialog::PortQuery only(const std::string& path) {
        return [p = path] { return std::vector<PortSlot>{{p, p, {}}}; };
    }
    test::UiFixture f;
};

TEST_F(ConnectDialogTest, StartsOnSlotOneWithFastLinkWhenNothingIsStored) {
    CConnectDialog dialog(f.context, {}, [] {
        return std::vector<PortSlot>{{"/dev/a", "a", "first"}, {"/dev/b", "b", "USB 0403:6001"}};
    });
    EXPECT_EQ(dialog.chosenSlot(), 1);
    EXPECT_EQ(dialog.chosenPath(), "/dev/a");
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("slowLinkBox")->isChecked());
    EXPECT_EQ(dialog.findChild<QRadioButton*>("portSlot2")->toolTip(), "USB 0403:6001");
    EXPECT_EQ(f.session.link.linkAbort, LinkState::kAbortIdle);
}

TEST_F(ConnectDialogTest, StoredPortNameWinsOverItsOldSlotAndSlowLinkIsRestored) {
    app_settings::setPort(1);
    app_settings::setPortName("/dev/b");
    app_settings::setTurbo(false);
    CConnectDialog dialog(f.context, {}, [] {
        return std::vector<PortSlot>{{"/dev/a", "a", {}}, {"/dev/b", "b", {}}};
    });
    EXPECT_EQ(dialog.chosenSlot(), 2);
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("slowLinkBox")->isChecked());
}

TEST_F(ConnectDialogTest, ConnectsToTheEmulatedTrackerAndStoresThePort) {
    EmulatorRunner emu({});
    emu.start();
    CConnectDialog dialog(f.context, QString::fromStdString(emu.slavePath()), only(emu.slavePath()));
    dialog.findChild<QCheckBox*>("slowLinkBox")->setChecked(true);
    button(dialog, "connectButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();
    EXPECT_TRUE(f.session.link.connected);
    EXPECT_EQ(f.session.link.chipName, "AP64");
    EXPECT_EQ(app_settings::port(), 1);
    EXPECT_EQ(app_settings::portName().toStdString(), emu.slavePath());
    EXPECT_FALSE(app_settings::turbo());
    EXPECT_EQ(f.session.link.linkAbort, LinkState::kAbortIdle);
}

// Pseudo-terminals and network serial bridges are not enumerated: the user
// types the path.
TEST_F(ConnectDialogTest, ATypedPathIsUsedInsteadOfTheSlots) {
    EmulatorRunner emu({});
    emu.start();
    app_settings::setPort(2);
    CConnectDialog dialog(f.context, {}, [] {
        return std::vector<PortSlot>{{"/dev/a", "a", {}}, {"/dev/b", "b", {}}};
    });
    QTest::keyClicks(dialog.findChild<QLineEdit*>("portPathEdit"), QString::fromStdString(emu.slavePath()));
    EXPECT_EQ(dialog.chosenSlot(), 0);
    button(dialog, "connectButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(app_settings::portName().toStdString(), emu.slavePath());
    EXPECT_EQ(app_settings::port(), 2);
}

TEST_F(ConnectDialogTest, CancelStopsTheAttemptThenClosesTheDialog) {
    EmulatorOptions options;
    options.faults.silent = true;
    EmulatorRunner emu(options);
    emu.start();
    CConnectDialog dialog(f.context, {}, only(emu.slavePath()));
    bool sawRunning = false;
    QTimer::singleShot(700, &dialog, [&] {
        sawRunning = dialog.attemptRunning() && !dialog.connectEnabled() &&
                     dialog.statusText() == "Ready to connect.  Please reset tracker now.";
        button(dialog, "cancelButton")->click();
    });
    button(dialog, "connectButton")->click();
    EXPECT_TRUE(sawRunning);
    EXPECT_EQ(dialog.result(), 0);  // still open
    EXPECT_TRUE(dialog.connectEnabled());
    EXPECT_FALSE(f.session.port->isOpen());
    EXPECT_EQ(f.session.link.linkAbort, LinkState::kAbortIdle);
    EXPECT_TRUE(f.ui.messages.empty());
    button(dialog, "cancelButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ConnectDialogTest, ATrackerOfAnotherChipEndsTheDialogWithCancel) {
    EmulatorRunner emu({});
    emu.start();
    f.session.link.chipName = "JM60";  // held from a configuration file
    CConnectDialog dialog(f.context, {}, only(emu.slavePath()));
    button(dialog, "connectButton")->click();
    EXPECT_EQ(f.ui.messages,
              std::vector<std::string>{"Wrong target device type!\nThe settings are for JM60; this tracker is AP64."});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(f.session.port->isOpen());
    EXPECT_FALSE(app_settings::portName().size());
}

TEST_F(ConnectDialogTest, ATrackerLostAfterTheHandshakeIsACommunicationsError) {
    EmulatorOptions options;
    options.faults.hangupAfter = 20;  // the reset request and the handshake, then nothing
    EmulatorRunner emu(options);
    emu.start();
    CConnectDialog dialog(f.context, {}, only(emu.slavePath()));
    button(dialog, "connectButton")->click();
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Communications error\n(BL Ver 00)"});
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.connectEnabled());
    EXPECT_FALSE(f.session.port->isOpen());
}

TEST_F(ConnectDialogTest, AMissingPortSaysWhyAndStaysOpen) {
    CConnectDialog dialog(f.context, {}, only("/nonexistent/ttyUSB9"));
    button(dialog, "connectButton")->click();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].rfind("Can't open serial port\n", 0), 0u) << f.ui.messages[0];
    EXPECT_NE(f.ui.messages[0].find("/nonexistent/ttyUSB9"), std::string::npos);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.connectEnabled());
}

// "Connection help..." opens the doctor's whole report on this machine for
// the chosen port, read-only, in a window of its own that OK closes.
TEST_F(ConnectDialogTest, ConnectionHelpShowsTheDoctorsReportOnTheChosenPort) {
    CConnectDialog dialog(f.context, {}, only("/nonexistent/ttyUSB9"));
    QString title, text;
    bool readOnly = false;
    QTimer::singleShot(0, &dialog, [&] {
        QWidget* help = QApplication::activeModalWidget();
        if (!help || help == &dialog) return;
        title = help->windowTitle();
        if (auto* edit = help->findChild<QPlainTextEdit*>("listingText")) {
            text = edit->toPlainText();
            readOnly = edit->isReadOnly();
        }
        help->findChild<QPushButton*>("okButton")->click();
    });
    QPushButton* help = button(dialog, "helpButton");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isEnabled());
    help->click();
    EXPECT_EQ(title, "Connection help");
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(
        text.contains("[problem] port: /nonexistent/ttyUSB9 does not exist; is the tracker's cable plugged in?"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("stand") && text.contains("in the way")) << text.toStdString();
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(dialog.result(), 0);  // the connect window stays
}

TEST_F(ConnectDialogTest, OfflineLoadsAConfigurationFileOrStaysOpen) {
    QTemporaryDir dir;
    const QString path = dir.filePath("aw60.cfg");
    QByteArray bytes(1049, '\0');
    bytes.replace(0, 9, "AW60-ABCD");
    bytes[32] = 1;  // a weather-station record
    bytes[537] = 0x42;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    CConnectDialog dialog(f.context, {}, only("/dev/null-port"));
    f.files.answers = {"", dir.filePath("missing.cfg"), path};
    button(dialog, "offlineButton")->click();  // chooser cancelled
    EXPECT_EQ(dialog.result(), 0);
    button(dialog, "offlineButton")->click();
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Error reading configuration file"});
    EXPECT_EQ(dialog.result(), 0);
    button(dialog, "offlineButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(f.files.filters.value(0), "Configuration Files (*.cfg)");
    EXPECT_EQ(f.session.link.deviceInfo.deviceId, "AW60-ABCD");
    EXPECT_EQ(f.session.settings.family(), 1);
    EXPECT_EQ(f.session.script.bytes[0], 0x42);
    EXPECT_FALSE(f.session.link.connected);
}

// A board that powers up into its bootloader, on a fake port that appears
// (as /dev/ttyACM0) once `plugged` is set; at 115200 it announces itself.
struct PluggedBoard {
    test::FakeClock clock;
    test::FakeSerialPort& port;
    test::FakeBootloader device;
    bool plugged = false;

    explicit PluggedBoard(test::UiFixture& f) : port(install(f, clock)) {
        device.deviceId = "AW60-H";
        device.attach(port);
        device.inBootloader = true;
        port.onOpen = [](test::FakeSerialPort& p) {
            if (p.speed == "115200") p.queue({0xFC});
        };
    }
    static test::FakeSerialPort& install(test::UiFixture& f, test::FakeClock& clock) {
        auto fake = std::make_unique<test::FakeSerialPort>(clock);
        test::FakeSerialPort& port = *fake;
        f.session.port = std::move(fake);
        return port;
    }
    CConnectDialog::PortQuery query() {
        return [this] {
            return plugged ? std::vector<PortSlot>{{"/dev/ttyACM0", "ttyACM0", {}}} : std::vector<PortSlot>{};
        };
    }
};

// A port that appears while the dialog is open is tried at 115200 by itself.
TEST_F(ConnectDialogTest, APortThatAppearsIsConnectedByTheTimer) {
    PluggedBoard board(f);
    test::FakeSerialPort& port = board.port;
    CConnectDialog dialog(f.context, {}, board.query());
    dialog.setPortWatchInterval(20);
    QTimer::singleShot(100, [&] { board.plugged = true; });
    QTimer::singleShot(5000, &dialog, &QDialog::reject);  // a safety net, not the outcome
    dialog.exec();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(f.session.link.connected);
    EXPECT_EQ(f.session.link.chipName, "AW60");
    EXPECT_EQ(f.session.link.targetSuffix, "H");
    ASSERT_FALSE(port.opens.empty());
    EXPECT_EQ(port.opens[0].name, "/dev/ttyACM0");
    EXPECT_EQ(port.opens[0].speed, "115200");
    // The timer path neither switches speed nor stores the port.
    EXPECT_EQ(port.opens.size(), 1u);
    EXPECT_TRUE(app_settings::portName().isEmpty());
}

// While the timer's own attempt waits for the tracker, neither a click nor
// the next tick may start a second one on the same port.
TEST_F(ConnectDialogTest, NothingStartsASecondAttemptWhileTheTimersRuns) {
    PluggedBoard board(f);
    test::FakeSerialPort& port = board.port;
    CConnectDialog dialog(f.context, {}, board.query());
    dialog.setPortWatchInterval(20);
    QTimer::singleShot(100, [&] { board.plugged = true; });
    bool sawAttempt = false, buttonsHeld = false;
    // The attempt settles for 300 ms before it opens the port: meddle then.
    QTimer::singleShot(250, [&] {
        sawAttempt = dialog.attemptRunning();
        buttonsHeld = !dialog.connectEnabled() && !button(dialog, "offlineButton")->isEnabled();
        f.files.answers = {"/nonexistent/x.cfg"};
        dialog.onConnect();
        dialog.onOffline();
        dialog.onPortWatchTick();
    });
    QTimer::singleShot(5000, &dialog, &QDialog::reject);  // a safety net, not the outcome
    dialog.exec();
    EXPECT_TRUE(sawAttempt);
    EXPECT_TRUE(buttonsHeld);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(f.session.link.connected);
    EXPECT_EQ(port.opens.size(), 1u);
    EXPECT_TRUE(f.files.filters.isEmpty());  // Offline asked for no file
    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();
}

// A tracker on its own USB port appears as a new device while the dialog is
// open; the timer meets it at 115200, which its firmware hears whatever its
// serial line would run at, and connects without a button being pressed.
TEST_F(ConnectDialogTest, AUsbTrackerThatIsPluggedInIsConnectedByTheTimer) {
    EmulatorOptions options;
    options.chip = "JM60";
    options.usbCdc = true;
    EmulatorRunner emu(options);
    emu.start();
    ASSERT_EQ(emu.state(), DeviceState::Firmware);

    bool plugged = false;
    const std::string path = emu.slavePath();
    CConnectDialog dialog(f.context, {}, [&] {
        return plugged ? std::vector<PortSlot>{{path, "ttyACM0", {}}} : std::vector<PortSlot>{};
    });
    dialog.setPortWatchInterval(20);
    QTimer::singleShot(100, [&] { plugged = true; });
    QTimer::singleShot(10000, &dialog, &QDialog::reject);  // a safety net, not the outcome
    dialog.exec();

    EXPECT_EQ(dialog.result(), QDialog::Accepted) << emu.commandLogText();
    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();
    EXPECT_TRUE(f.session.link.connected);
    EXPECT_EQ(f.session.link.chipName, "JM60");
    EXPECT_EQ(f.session.link.targetSuffix, "HT");
    EXPECT_EQ(f.session.link.linkAbort, LinkState::kAbortIdle);
    EXPECT_TRUE(f.session.port->isOpen());
    EXPECT_EQ(emu.state(), DeviceState::Bootloader);
    // No speed switch on the timer path, and nothing stored.
    const auto log = emu.commandLog();
    EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const CommandLogEntry& e) {
        return e.command == 'H' || e.command == 'T';
    })) << emu.commandLogText();
    EXPECT_TRUE(app_settings::portName().isEmpty());

    // The link it leaves open works: the settings area reads back.
    BootLink link(f.session, f.ui);
    std::uint8_t head[4] = {};
    ASSERT_EQ(link.readMemory(0xF800, 4, head), 4);
    const auto expected = emu.readFlash(0xF800, 4);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), head));
}

}  // namespace
}  // namespace varnel
