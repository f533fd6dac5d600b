#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include "config/profile_layout.h"
#include "forms/tracker/tracker_controls.h"
#include "forms/tracker_fixture.h"
#include "session/config_file.h"
#include "ui/app_settings.h"
#include "ui/tracker_config_dialog.h"
#include "ui/tracker_form_binding.h"
#include "ui_test_support.h"
#include "ui_tracker_config_dialog.h"

namespace varnel {
namespace {

namespace id = tracker_id;
namespace pl = profile_layout;

// A dialog over a session that holds a plain, valid tracker (the forms'
// fixture), with files and messages under the test's control.
struct DialogBench {
    test::UiFixture f;
    explicit DialogBench(const std::string& chip, std::uint8_t family = kFamilyTracker) {
        f.session = test::trackerSession(chip, family);
        app_settings::setMetric(true);
    }
    ProfileRecord profile(int i) { return ProfileRecord(f.session.settings.profile(i), f.session.target.kind); }
};

template <typename W>
W* child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QString text(QWidget& d, const char* name) { return child<QLineEdit>(d, name)->text(); }
QString caption(QWidget& d, const char* name) { return child<QLabel>(d, name)->text(); }

// Types into an edit box as a user would (the form hears every keystroke).
void retype(QWidget& d, const char* name, const QString& value) {
    QLineEdit* edit = child<QLineEdit>(d, name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, value);
}

TEST(TrackerConfigLayout, EveryBoundControlHasItsWidgetClassTypingLimitAndTooltip) {
    QDialog bare;
    Ui::TrackerConfigDialog layout;
    layout.setupUi(&bare);
    for (const TrackerControlInfo& info : kTrackerControls) {
        SCOPED_TRACE(std::string(info.name));
        QWidget* w = bare.findChild<QWidget*>(QString::fromUtf8(info.name.data(), int(info.name.size())));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(widgetClassFor(info.type))) << w->metaObject()->className();
        EXPECT_EQ(w->toolTip().toStdString(), std::string(info.tooltip));
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(edit->maxLength(), info.typingLimit > 0 ? info.typingLimit : 32767);
        }
    }
    EXPECT_TRUE(TrackerFormBinding(bare).missing().empty());

    // Radio pairs need a parent each, or one pair would clear the other.
    const char* pairs[][2] = {{"baud1200", "baud300"},
                              {"commentRadio", "statusRadio"},
                              {"gpsRadio", "fixedRadio"},
                              {"timestampDhm", "timestampHms"},
                              {"metricRadio", "imperialRadio"}};
    std::set<QWidget*> parents;
    for (auto& pair : pairs) {
        QWidget* a = bare.findChild<QRadioButton*>(pair[0])->parentWidget();
        EXPECT_EQ(a, bare.findChild<QRadioButton*>(pair[1])->parentWidget()) << pair[0];
        EXPECT_TRUE(parents.insert(a).second) << pair[0];
        EXPECT_EQ(a->findChildren<QRadioButton*>().size(), 2) << pair[0];
    }
}

TEST(TrackerConfigDialog, StartShowsTheChipsControlsListsAndCommands) {
    struct Case {
        std::string chip;
        bool serialPorts, waypoints, digipeater, usbKiss, exportEntry;
        int portAModes;
    } cases[] = {
        {"KX8", false, false, false, false, false, 0},
        {"AP64", true, true, true, false, true, 6},
        {"JM60", true, true, false, true, true, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chip);
        DialogBench b(c.chip);
        CTrackerConfigDialog d(b.f.context);
        auto shown = [&](const char* name) { return !child<QWidget>(d, name)->isHidden(); };
        EXPECT_EQ(shown("serialGroup"), c.serialPorts);
        EXPECT_EQ(shown("portAMode"), c.serialPorts);
        EXPECT_EQ(shown("scriptButton"), c.serialPorts);
        EXPECT_EQ(shown("accessListButton"), c.serialPorts);
        EXPECT_EQ(shown("waypointGroup"), c.waypoints);
        EXPECT_EQ(shown("digipeaterButton"), c.digipeater);
        EXPECT_EQ(shown("usbKiss"), c.usbKiss);
        EXPECT_FALSE(shown("ptb2Output"));
        EXPECT_FALSE(shown("carrierMultiplier"));

        auto* modes = child<QComboBox>(d, "portAMode");
        ASSERT_EQ(modes->count(), c.portAModes);
        if (c.portAModes > 0) {
            EXPECT_EQ(modes->itemText(c.portAModes - 2), "Text");
            EXPECT_EQ(modes->itemData(c.portAModes - 2).toInt(), 5);
        }
        auto* symbols = child<QComboBox>(d, "symbolList");
        ASSERT_EQ(symbols->count(), 82);
        EXPECT_EQ(symbols->itemText(55), "Dish Antnena");
        EXPECT_EQ(symbols->currentText(), "Car");  // the fixture's '/' '>'

        // Offline: Write connects first and firmware needs a tracker.
        EXPECT_EQ(child<QPushButton>(d, "writeButton")->text(), "Connect");
        EXPECT_FALSE(child<QPushButton>(d, "firmwareFileButton")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "diagnosticsButton")->isEnabled());
        EXPECT_EQ(child<QTabBar>(d, "tabs")->count(), 2);
        EXPECT_EQ(child<QTabBar>(d, "tabs")->tabText(1), "Profile 2");
        EXPECT_EQ(child<QPushButton>(d, "copyButton")->text(), "Copy from Profile 2");
        EXPECT_TRUE(child<QRadioButton>(d, "metricRadio")->isChecked());
        EXPECT_EQ(caption(d, "tempUnitLabel"), QString::fromUtf8("\xC2\xB0"
                                                                 "C"));

        QStringList entries;
        for (QAction* a : d.windowMenu()->actions()) entries << a->text();
        EXPECT_TRUE(entries.contains("&About varnelcfg..."));
        EXPECT_EQ(entries.contains("Export firmware to .BIN"), c.exportEntry);
        // Captions the layout draws survive the form being copied over them.
        EXPECT_EQ(child<QCheckBox>(d, "reportAltitude")->text(), "Altitude");
        EXPECT_EQ(child<QGroupBox>(d, "serialGroup")->title(), "Serial ports");
    }
}

TEST(TrackerConfigDialog, ConnectedTrackerWritesAndLoadsFirmware) {
    DialogBench b("AP64");
    b.f.session.link.connected = true;
    CTrackerConfigDialog d(b.f.context);
    EXPECT_EQ(child<QPushButton>(d, "writeButton")->text(), "Write");
    EXPECT_TRUE(child<QPushButton>(d, "firmwareFileButton")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(d, "firmwareNetworkButton")->isEnabled());
}

TEST(TrackerConfigDialog, ShowsAProfileAndReadsTheSameFormBack) {
    DialogBench b("AP64");
    ProfileRecord p = b.profile(0);
    AddressField call{};
    encodeAddress("W1AW-5", call);
    call[6] |= 0x81;  // no path follows: the source address ends the header
    std::copy(call.begin(), call.end(), p.sourceAddress());
    p.setIoFlags(pl::kIoTelemetryAfterPosition);
    p.setText("Mobile \xB0 test");  // a byte above 127 is one character
    p.setTimeslot(30, false);
    p.setSlotFlags(pl::kSlotHalfSecond);
    p.setEveryCounts(0x35);
    p.setTempOffset(-5);
    p.setWaypointRange(200);
    p.setPortAMode(2);
    p.setPortBMode(9);  // no mode carries 9
    p.setAudioLevel(77);
    p.setOptionFlags(pl::kOptionFixedPosition | pl::kOptionTimestampHms);
    p.setFixedLatitude("4807.05S");
    p.setFixedLongitude("01131.00E");
    p.setReportFlags(pl::kReportAltitude | pl::kReportSmartBeaconing);

    CTrackerConfigDialog d(b.f.context);
    EXPECT_EQ(text(d, "callsign"), "W1AW-5");
    EXPECT_EQ(text(d, "text"), QString::fromLatin1("Mobile \xB0 test"));
    EXPECT_EQ(text(d, "timeslot"), "30.5");
    EXPECT_EQ(text(d, "statusEvery"), "5");
    EXPECT_TRUE(child<QRadioButton>(d, "statusRadio")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(d, "telemetry")->isChecked());
    EXPECT_EQ(text(d, "telemetryEvery"), "3");
    EXPECT_EQ(text(d, "tempCalibration"), "-5");
    EXPECT_EQ(text(d, "range"), "322");
    EXPECT_EQ(child<QComboBox>(d, "portAMode")->currentText(), "KISS");
    EXPECT_EQ(child<QComboBox>(d, "portBMode")->currentIndex(), -1);
    EXPECT_EQ(child<QSlider>(d, "audioLevel")->value(), 77);
    EXPECT_TRUE(child<QRadioButton>(d, "fixedRadio")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(d, "timestampHms")->isChecked());
    EXPECT_EQ(child<QPushButton>(d, "latHemisphere")->text(), "S");
    EXPECT_EQ(child<QPushButton>(d, "lonHemisphere")->text(), "E");
    EXPECT_EQ(text(d, "latMinutes"), "07.05");
    EXPECT_EQ(text(d, "lonDegrees"), "011");
    EXPECT_TRUE(child<QLineEdit>(d, "latDegrees")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(d, "smartBeaconingButton")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(d, "beaconInterval")->isEnabled());

    // Widgets -> form gives back exactly what the form showed.
    const TrackerForm shown = d.form();
    d.readControls();
    for (const TrackerControlInfo& info : kTrackerControls) {
        SCOPED_TRACE(std::string(info.name));
        const FormControl& before = shown.*(info.member);
        const FormControl& after = d.form().*(info.member);
        EXPECT_EQ(after.text, before.text);
        EXPECT_EQ(after.checked, before.checked);
        EXPECT_EQ(after.selected, before.selected);
        EXPECT_EQ(after.position, before.position);
    }
    // A mode the lists do not know is not stored back as some other mode.
    auto bytes = b.f.session.settings.bytes;
    EXPECT_EQ(checkAndStore(d.form(), b.f.session, b.f.ui), -1);
    EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{"Select a serial port B mode"});

    // Once the user picks one, the page stores back into the very same
    // record, but for that choice.
    auto* portB = child<QComboBox>(d, "portBMode");
    portB->setCurrentIndex(portB->findText("Flow"));
    emit portB->activated(portB->currentIndex());
    d.readControls();
    b.f.ui.messages.clear();
    EXPECT_EQ(checkAndStore(d.form(), b.f.session, b.f.ui), 0);
    EXPECT_TRUE(b.f.ui.messages.empty());
    EXPECT_EQ(b.profile(0).portBMode(), 4);
    bytes[settings_layout::kProfile1 + pl::kPortBMode] = 4;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(int(b.f.session.settings.bytes[i]), int(bytes[i])) << "offset " << i;
}

TEST(TrackerConfigDialog, TypingLimitLimitsTypingOnlyNotWhatTheRecordHolds) {
    DialogBench b("AP64");
    const std::string stored(61, 'x');  // a full text slot, longer than the 60 the edit lets one type
    b.profile(0).setText(stored);
    CTrackerConfigDialog d(b.f.context);
    EXPECT_EQ(text(d, "text").toStdString(), stored);
    d.readControls();
    EXPECT_EQ(checkAndStore(d.form(), b.f.session, b.f.ui), 0);
    EXPECT_EQ(b.profile(0).text(), stored);

    // A shorter text puts the typing limit back.
    retype(d, "text", QString(70, 'y'));
    EXPECT_EQ(text(d, "text"), QString(60, 'y'));
}

// As in property pages: from a control inside the page, Ctrl+Tab turns to
// the next profile and Ctrl+Shift+Tab back, each through the tab's own
// change (so a refused field would keep the tab).
TEST(TrackerConfigDialog, CtrlTabTurnsTheProfileTabsFromInsideAPage) {
    DialogBench b("AP64");
    CTrackerConfigDialog d(b.f.context);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    auto* tabs = child<QTabBar>(d, "tabs");
    auto* callsign = child<QLineEdit>(d, "callsign");
    callsign->setFocus();
    QTest::keyClick(callsign, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(b.f.session.currentProfile, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(b.f.session.currentProfile, 0);
}

TEST(TrackerConfigDialog, RefusedTabChangeKeepsTheTabAndTellsWhy) {
    DialogBench b("AP64");
    b.profile(1).setBeaconInterval(1234);
    CTrackerConfigDialog d(b.f.context);
    auto* tabs = child<QTabBar>(d, "tabs");

    retype(d, "quietTime", "300");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{"Quiet time must be in the range of 0 to 255"});
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(b.f.session.currentProfile, 0);
    EXPECT_EQ(text(d, "quietTime"), "300");  // the user's entry stays to be corrected

    retype(d, "quietTime", "25");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(b.f.ui.messages.size(), 1u);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(b.f.session.currentProfile, 1);
    EXPECT_EQ(text(d, "beaconInterval"), "1234");
    EXPECT_EQ(child<QPushButton>(d, "copyButton")->text(), "Copy from Profile 1");
    EXPECT_EQ(b.profile(0).quietTime(), 25);

    // Copying brings the first profile over (no check first).
    retype(d, "quietTime", "999");
    b.f.ui.answers.push_back(true);  // "Replace Profile 2 with a copy of Profile 1?"
    child<QPushButton>(d, "copyButton")->click();
    EXPECT_EQ(text(d, "beaconInterval"), "600");
    EXPECT_EQ(text(d, "quietTime"), "25");
    EXPECT_EQ(b.f.ui.messages.size(), 1u);
}

TEST(TrackerConfigDialog, ClicksAndChoicesFollowTheFormsRules) {
    DialogBench b("AP64");
    CTrackerConfigDialog d(b.f.context);
    struct Rule {
        const char* box;
        const char* follower;
    } rules[] = {
        {"smartBeaconing", "smartBeaconingButton"}, {"telemetry", "telemetryEvery"}, {"rangeEnabled", "range"}};
    for (const Rule& r : rules) {
        SCOPED_TRACE(r.box);
        auto* box = child<QCheckBox>(d, r.box);
        const bool before = child<QWidget>(d, r.follower)->isEnabled();
        box->click();
        EXPECT_NE(child<QWidget>(d, r.follower)->isEnabled(), before);
        box->click();
        EXPECT_EQ(child<QWidget>(d, r.follower)->isEnabled(), before);
    }
    child<QCheckBox>(d, "smartBeaconing")->click();
    EXPECT_FALSE(child<QLineEdit>(d, "beaconInterval")->isEnabled());

    EXPECT_FALSE(child<QLineEdit>(d, "lonMinutes")->isEnabled());
    child<QRadioButton>(d, "fixedRadio")->click();
    EXPECT_TRUE(child<QLineEdit>(d, "lonMinutes")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>(d, "gpsRadio")->isChecked());
    child<QPushButton>(d, "latHemisphere")->click();
    EXPECT_EQ(child<QPushButton>(d, "latHemisphere")->text(), "S");
    child<QPushButton>(d, "lonHemisphere")->click();
    EXPECT_EQ(child<QPushButton>(d, "lonHemisphere")->text(), "E");

    child<QRadioButton>(d, "statusRadio")->click();
    EXPECT_TRUE(child<QLineEdit>(d, "statusEvery")->isEnabled());
    child<QRadioButton>(d, "commentRadio")->click();
    EXPECT_FALSE(child<QLineEdit>(d, "statusEvery")->isEnabled());

    auto* symbols = child<QComboBox>(d, "symbolList");
    symbols->setCurrentIndex(65);  // EMERGENCY, on the alternate table
    emit symbols->activated(65);
    EXPECT_EQ(text(d, "symbolTable"), "\\");
    EXPECT_EQ(text(d, "symbolCode"), "!");
}

TEST(TrackerConfigDialog, CarrierLabelFollowsTheMultiplierAsItIsTyped) {
    DialogBench b("AP64", kFamilyTrackerText);
    b.profile(0).setCarrierMultiplier(16);
    CTrackerConfigDialog d(b.f.context);
    EXPECT_FALSE(child<QWidget>(d, "carrierMultiplier")->isHidden());
    EXPECT_TRUE(child<QWidget>(d, "path")->isHidden());
    EXPECT_EQ(caption(d, "carrierHzLabel"), "x 31.25 = 500.00 Hz");
    EXPECT_EQ(caption(d, "txDelayUnitLabel"), "bytes");

    struct Step {
        QString typed;
        QString label;
    } steps[] = {{"20", "x 31.25 = 625.00 Hz"},
                 {"3", "x 31.25 = 93.75 Hz"},
                 {"300", "x 31.25 = 7968.75 Hz"},
                 {"", "x 31.25 = 0.00 Hz"},
                 {"2555", "x 31.25 = 7968.75 Hz"}};
    for (const Step& s : steps) {
        retype(d, "carrierMultiplier", s.typed);
        EXPECT_EQ(caption(d, "carrierHzLabel"), s.label) << s.typed.toStdString();
    }
    EXPECT_EQ(text(d, "carrierMultiplier"), "255");  // three characters at most
}

TEST(TrackerConfigDialog, UnitsSwitchWhenThePagePassesAndAreRememberedEitherWay) {
    DialogBench b("AP64");
    b.profile(0).setTempOffset(-5);
    CTrackerConfigDialog d(b.f.context);
    child<QRadioButton>(d, "imperialRadio")->click();
    EXPECT_TRUE(b.f.ui.messages.empty());
    EXPECT_EQ(text(d, "tempCalibration"), "-9");
    EXPECT_EQ(caption(d, "rangeUnitLabel"), "Miles");
    EXPECT_FALSE(app_settings::metric());

    retype(d, "powerOnDelay", "256");
    child<QRadioButton>(d, "metricRadio")->click();
    EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{"Power delay must be in the range of 0 to 255"});
    EXPECT_TRUE(child<QRadioButton>(d, "imperialRadio")->isChecked());
    EXPECT_EQ(caption(d, "tempUnitLabel"), QString::fromUtf8("\xC2\xB0"
                                                             "F"));
    EXPECT_FALSE(b.f.session.metric);
    EXPECT_TRUE(app_settings::metric());
}

TEST(TrackerConfigDialog, SavesTheEditedPageAndLoadsItBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tracker.cfg");
    DialogBench b("AP64");
    b.f.session.link.deviceInfo.deviceId = "AP64-H";
    CTrackerConfigDialog d(b.f.context);

    retype(d, "callsign", "K2XYZ-7");
    retype(d, "beaconInterval", "90");
    b.f.files.answers = {path};
    child<QPushButton>(d, "saveButton")->click();
    EXPECT_EQ(b.f.files.filters, QStringList{"Configuration Files (*.cfg)"});
    EXPECT_EQ(QFile(path).size(), 1049);

    Session saved;
    ASSERT_EQ(loadConfigFileOffline(path.toStdString(), saved, b.f.ui), 0);
    EXPECT_EQ(saved.link.deviceInfo.deviceId, "AP64-H");
    EXPECT_EQ(decodeAddress(ConstProfileRecord(saved.settings.profile(0), KindAP64).sourceAddress()), "K2XYZ-7");

    // Edits after the save are replaced by the file's values on load.
    retype(d, "callsign", "N0CALL");
    retype(d, "beaconInterval", "3000");
    b.f.files.answers = {path};
    child<QPushButton>(d, "loadButton")->click();
    EXPECT_EQ(text(d, "callsign"), "K2XYZ-7");
    EXPECT_EQ(text(d, "beaconInterval"), "90");
    EXPECT_TRUE(b.f.ui.messages.empty());

    // A file that cannot be read is reported and the stored values are shown.
    retype(d, "beaconInterval", "77");
    b.f.files.answers = {dir.filePath("missing.cfg")};
    child<QPushButton>(d, "loadButton")->click();
    EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{"Error reading configuration file"});
    EXPECT_EQ(text(d, "beaconInterval"), "90");

    // A refused value does not stop the save; cancelling the chooser does.
    retype(d, "quietTime", "-1");
    b.f.files.answers = {""};
    child<QPushButton>(d, "saveButton")->click();
    EXPECT_EQ(b.f.ui.messages.back(), "Quiet time must be in the range of 0 to 255");
    EXPECT_EQ(b.f.files.filters.size(), 4);
}

TEST(TrackerConfigDialog, OfflineWriteChecksThenConnectsAndCancelKeepsTheDialog) {
    DialogBench b("KX8");
    CTrackerConfigDialog d(b.f.context);
    retype(d, "callsign", "NOT A CALL");
    child<QPushButton>(d, "writeButton")->click();
    EXPECT_EQ(b.f.ui.messages,
              std::vector<std::string>{"Invalid callsign \"NOT A CAL\": a callsign takes letters and digits only."});

    retype(d, "callsign", "W1AW");
    QString opened;
    test::onNextModal([&](QWidget* w) {
        opened = w->metaObject()->className();
        static_cast<QDialog*>(w)->reject();
        return true;
    });
    child<QPushButton>(d, "writeButton")->click();
    EXPECT_EQ(opened, "varnel::CConnectDialog");
    EXPECT_NE(d.result(), 99);
    EXPECT_EQ(b.f.ui.messages.size(), 1u);
}

TEST(TrackerConfigDialog, KeysReachingTheWindowItselfAreEchoed) {
    DialogBench b("AP64");
    CTrackerConfigDialog d(b.f.context);
    QTest::keyClicks(child<QLineEdit>(d, "callsign"), "AB");
    EXPECT_TRUE(b.f.ui.messages.empty());
    QTest::keyClick(&d, Qt::Key_F5);
    ASSERT_EQ(b.f.ui.messages.size(), 1u);
    // Without a native key code the Qt key stands in; one press, not repeated.
    EXPECT_EQ(b.f.ui.messages[0], "1000034 1");
}

// A profile with most options in use, so the pictures show a working tracker.
void fillBelievableProfile(ProfileRecord p) {
    std::vector<std::uint8_t> path;
    ASSERT_EQ(encodePath("WIDE1-1,WIDE2-1", path), 14);  // two 7-byte addresses
    std::copy(path.begin(), path.end(), p.path());
    p.setPathLength(static_cast<std::uint8_t>(path.size()));
    p.setText("Varnel tracker on the road");
    p.setEveryCounts(0x34);
    p.setIoFlags(pl::kIoTelemetryAfterPosition | pl::kIoTransmitWithoutFix);
    p.setOptionFlags(pl::kOptionFixedPosition | pl::kOptionVoltage | pl::kOptionTemperature);
    p.setReportFlags(pl::kReportAltitude | pl::kReportCourseSpeed | pl::kReportSmartBeaconing);
    p.setFixedLatitude("5130.25N");
    p.setFixedLongitude("00007.50W");
    p.setFeatureFlags(pl::kFeatureGenerateWaypoints | 2);
    p.setWaypointRange(31);
    p.setPortAMode(1);
    p.setPortBMode(2);
    p.setAudioLevel(128);
    p.setTxDelay(45);
    p.setLowVoltage(140);
}

// The whole dialog has to fit a 1024x768 screen, a taskbar below it, on every
// kind. With VARNEL_SCREENSHOT_DIR set the dialogs are also saved as pictures.
TEST(TrackerConfigDialog, FitsASmallScreen) {
    struct Case {
        const char* chip;
        std::uint8_t family;
        const char* file;
    } cases[] = {{"KX8", kFamilyTracker, "tracker-kx8.png"},     {"AP64", kFamilyTracker, "tracker-ap64.png"},
                 {"JL16", kFamilyTracker, "tracker-jl16.png"},   {"JM60", kFamilyTracker, "tracker-jm60.png"},
                 {"JM128", kFamilyTracker, "tracker-jm128.png"}, {"AP64", kFamilyTrackerText, "tracker-ap64-text.png"}};
    const QString shots = qEnvironmentVariable("VARNEL_SCREENSHOT_DIR");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DialogBench b(c.chip, c.family);
        b.f.session.settings.setFlags(0x80);  // the "Freq" button too
        fillBelievableProfile(b.profile(0));
        CTrackerConfigDialog d(b.f.context);
        // The size the layout asks for, not one a small virtual screen forces.
        const QSize wanted = d.sizeHint().expandedTo(d.minimumSizeHint());
        EXPECT_LE(wanted.width(), 1024);
        EXPECT_LE(wanted.height(), 700);
        // The slider's value stands beside it.
        EXPECT_EQ(child<QLabel>(d, "audioLevelValue")->text(), "128");
        d.resize(wanted);
        if (!shots.isEmpty()) d.grab().save(QDir(shots).filePath(c.file));
    }
}

}  // namespace
}  // namespace varnel
