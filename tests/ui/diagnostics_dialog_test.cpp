#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "config/profile_record.h"
#include "config/weather_record.h"
#include "emulator/emulator_runner.h"
#include "forms/tracker_fixture.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "serial/posix_serial_port.h"
#include "serial/system_serial_port.h"
#include "ui/diagnostics_dialog.h"
#include "ui/tracker_config_dialog.h"
#include "ui/weather_config_dialog.h"
#include "ui_diagnostics_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

// A session connected to an emulated tracker of the given chip.
struct DiagBench {
    explicit DiagBench(const std::string& chip) : emu(options(chip)) {
        emu.start();
        f.session = test::trackerSession(chip);
        f.session.port = makeSystemSerialPort();
        BootLink link(f.session, f.ui);
        f.session.link.linkAbort = LinkState::kAbortRunning;
        connected = Connector(link).connect(emu.slavePath(), true) == ConnectResult::Connected;
        f.session.link.linkAbort = LinkState::kAbortIdle;
        emu.clearLog();
    }
    ~DiagBench() { f.session.port->closePort(); }
    static EmulatorOptions options(const std::string& chip) {
        EmulatorOptions o;
        o.chip = chip;
        return o;
    }
    int sent(std::uint8_t command) const {
        int n = 0;
        for (const auto& e : emu.commandLog()) n += e.command == command;
        return n;
    }
    EmulatorRunner emu;
    test::UiFixture f;
    bool connected = false;
};

template <typename W>
W* child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Bytes that get no answer (the tone commands) reach the emulator a moment later.
template <typename Pred>
bool eventually(Pred pred) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < 1000) QTest::qWait(10);
    return pred();
}

QString label(QWidget& d, const char* name) { return child<QLabel>(d, name)->text(); }

TEST(DiagnosticsLayout, BindsEveryControlWithTheSlidersRangeAndSeparateRadioGroups) {
    QDialog bare;
    Ui::DiagnosticsDialog layout;
    layout.setupUi(&bare);
    EXPECT_TRUE(FormBinding<DiagnosticsForm>(bare, kDiagnosticsControls).missing().empty());
    EXPECT_EQ(layout.audioLevel->minimum(), 1);
    EXPECT_EQ(layout.audioLevel->maximum(), 255);
    EXPECT_EQ(layout.audioLevel->tickInterval(), 15);
    EXPECT_EQ(layout.receiveLevelBar->maximum(), 255);
    EXPECT_NE(layout.pair1200->parentWidget(), layout.gain1x->parentWidget());
}

TEST(DiagnosticsDialog, Jm60OpensPausesForTonesFollowsTheKeyboardAndClosesClean) {
    DiagBench b("JM60");
    ASSERT_TRUE(b.connected);
    CDiagnosticsDialog d(b.f.context, {0, 2});
    EXPECT_EQ(label(d, "voltage"), "12.00v");
    EXPECT_EQ(label(d, "temperature"), "25 C");
    EXPECT_FALSE(child<QProgressBar>(d, "receiveLevelBar")->isHidden());
    EXPECT_EQ(child<QSlider>(d, "audioLevel")->value(), 1);
    EXPECT_EQ(label(d, "audioLevelValue"), "1");
    test::screenshot(d, "diagnostics-jm60");
    DeviceOutputs o = b.emu.outputs();
    EXPECT_TRUE(o.redLed);
    EXPECT_FALSE(o.greenLed || o.txLed);
    EXPECT_EQ(o.audioLevel, 0);  // the handed-in level, below the slider's reach

    child<QCheckBox>(d, "highTone")->click();
    EXPECT_TRUE(eventually([&] { return b.emu.outputs().toneHigh; }));
    const int readings = b.sent(0x8A);
    QTest::qWait(700);
    EXPECT_EQ(b.sent(0x8A), readings);  // no poll while the tone plays
    child<QCheckBox>(d, "highTone")->click();
    QTest::qWait(700);
    EXPECT_GE(b.sent(0x8A), readings + 2);
    EXPECT_GE(b.sent(0x8E), 2);  // read at the handed-in 16x

    QSlider* slider = child<QSlider>(d, "audioLevel");
    QTest::keyClick(slider, Qt::Key_PageUp);  // one page: 10 steps
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(b.emu.outputs().audioLevel, 12);
    child<QRadioButton>(d, "gain4x")->click();
    child<QCheckBox>(d, "greenLed")->click();

    child<QPushButton>(d, "okButton")->click();
    o = b.emu.outputs();
    EXPECT_TRUE(o.redLed);
    EXPECT_FALSE(o.greenLed || o.txLed || o.toneHigh || o.toneLow);
    EXPECT_FALSE(d.pollTimer().isActive());
    EXPECT_EQ(d.settings().gain, 1);
}

TEST(DiagnosticsDialog, ATrackerThatStopsAnsweringShowsDashesWithoutStallingTheWindow) {
    DiagBench b("AP64");
    ASSERT_TRUE(b.connected);
    CDiagnosticsDialog d(b.f.context, {128, std::nullopt});
    b.emu.setSilent(true);
    // The event loop's longest pause while the silent tracker is polled.
    QElapsedTimer sinceTick, total;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    sinceTick.start();
    total.start();
    ticker.start();
    while (label(d, "voltage") != "--.--v" && total.elapsed() < 3000) QTest::qWait(20);
    EXPECT_EQ(label(d, "voltage"), "--.--v");
    EXPECT_EQ(label(d, "temperature"), "-- C");
    EXPECT_LT(total.elapsed(), 1500);
    QTest::qWait(2500);
    EXPECT_LT(longest, 900) << "ms";  // one read time-out, not one per sensor
}

TEST(DiagnosticsDialog, MainDialogsButtonHandsInTheProfilesLevelAndGainAndStoresThemBack) {
    DiagBench b("JM60");
    ASSERT_TRUE(b.connected);
    ProfileRecord p(b.f.session.profile(), b.f.session.target.kind);
    p.setAudioLevel(90);
    p.setRadioFlags(0x81);  // 4x, USB KISS
    CTrackerConfigDialog main(b.f.context);
    bool seen = false;
    test::onNextModal([&](QWidget* w) {
        auto* d = qobject_cast<CDiagnosticsDialog*>(w);
        if (d == nullptr) return false;
        seen = true;
        EXPECT_TRUE(child<QRadioButton>(*d, "gain4x")->isChecked());
        EXPECT_EQ(child<QSlider>(*d, "audioLevel")->value(), 90);
        child<QRadioButton>(*d, "gain16x")->click();
        child<QCheckBox>(*d, "powerOutput")->click();
        QTest::keyClick(child<QSlider>(*d, "audioLevel"), Qt::Key_Right);
        d->close();  // closed by the window's frame, not OK: the values still go back
        return true;
    });
    QPushButton* button = child<QPushButton>(main, "diagnosticsButton");
    ASSERT_TRUE(button->isEnabled());
    button->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(p.audioLevel(), 91);
    EXPECT_EQ(p.radioFlags(), 0x41);
    EXPECT_EQ(child<QSlider>(main, "audioLevel")->value(), 91);
    const DeviceOutputs o = b.emu.outputs();
    EXPECT_EQ(o.audioLevel, 91);
    EXPECT_TRUE(o.redLed);
    EXPECT_FALSE(o.power);  // switched on in the window, off again when it closed
}

TEST(DiagnosticsDialog, WeatherDialogsButtonHandsInTheRecordsLevelOnlyAndStoresItBack) {
    DiagBench b("AP64");
    ASSERT_TRUE(b.connected);
    b.f.session.settings.bytes[settings_layout::kFamily] = kFamilyWeather;
    const WeatherRecord r(b.f.session.settings.profile(0));
    r.setAudioLevel(60);
    CWeatherConfigDialog weather(b.f.context);
    bool seen = false;
    test::onNextModal([&](QWidget* w) {
        auto* d = qobject_cast<CDiagnosticsDialog*>(w);
        if (d == nullptr) return false;
        seen = true;
        EXPECT_EQ(child<QSlider>(*d, "audioLevel")->value(), 60);
        QTest::keyClick(child<QSlider>(*d, "audioLevel"), Qt::Key_Left);
        d->accept();
        return true;
    });
    QPushButton* button = child<QPushButton>(weather, "diagnosticsButton");
    ASSERT_TRUE(button->isEnabled());
    button->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(r.audioLevel(), 59);
    EXPECT_EQ(child<QSlider>(weather, "audioLevel")->value(), 59);
    EXPECT_EQ(b.emu.outputs().audioLevel, 59);
}

}  // namespace
}  // namespace varnel
