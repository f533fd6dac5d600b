#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "shell/config_app.h"
#include "shell/dialog_loop.h"
#include "config/ax25_codec.h"
#include "config/weather_record.h"
#include "emulator/emulator_runner.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "serial/posix_serial_port.h"
#include "serial/system_serial_port.h"
#include "shell/firmware_sequences.h"
#include "ui/form_binding.h"
#include "ui/weather_config_dialog.h"
#include "ui_test_support.h"
#include "ui_weather_config_dialog.h"

namespace varnel {
namespace {

template <class W>
W* child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(WeatherConfigLayout, EveryBoundControlHasItsWidgetClassTypingLimitAndTooltip) {
    QDialog bare;
    Ui::WeatherConfigDialog layout;
    layout.setupUi(&bare);
    for (const auto& info : kWeatherControls) {
        SCOPED_TRACE(std::string(info.name));
        QWidget* w = bare.findChild<QWidget*>(QString::fromUtf8(info.name.data(), int(info.name.size())));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(widgetClassFor(info.type))) << w->metaObject()->className();
        EXPECT_EQ(w->toolTip().toStdString(), std::string(info.tooltip));
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(edit->maxLength(), info.typingLimit > 0 ? info.typingLimit : 32767);
        }
    }
    EXPECT_TRUE(FormBinding<WeatherForm>(bare, kWeatherControls).missing().empty());
    EXPECT_EQ(bare.findChild<QSlider*>("windVane")->maximum(), 15);
    EXPECT_EQ(bare.findChild<QSlider*>("audioLevel")->maximum(), 255);
    EXPECT_EQ(bare.findChild<QSlider*>("audioLevel")->tickInterval(), 15);
}

// A weather station on the emulator, connected and read as the loop reads it.
class WeatherStationTest : public ::testing::Test {
protected:
    void SetUp() override {
        EmulatorOptions options;
        options.chip = "KX8";
        options.weather = true;
        emu = std::make_unique<EmulatorRunner>(options);
        // Bytes of the station's own behind the record, which a Write must
        // give back as they were.
        emu->loadFlash(kSettings + 200, std::vector<std::uint8_t>(55, 0x5A));
        emu->start();
        f.session.port = makeSystemSerialPort();
        BootLink link(f.session, f.ui);
        f.session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect(emu->slavePath(), true), ConnectResult::Connected);
        f.session.link.linkAbort = LinkState::kAbortIdle;
    }
    void TearDown() override { f.session.port->closePort(); }

    static constexpr std::uint32_t kSettings = 0xFB80;  // KX8
    test::UiFixture f;
    std::unique_ptr<EmulatorRunner> emu;
};

TEST_F(WeatherStationTest, TheLoopShowsTheWeatherDialogWhoseWriteProgramsExactly255Bytes) {
    CConfigApp app(f.context, AppOptions{});
    bool shown = false;
    test::onNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<CWeatherConfigDialog*>(w);
        if (dialog == nullptr) return false;
        shown = true;
        EXPECT_EQ(child<QLineEdit>(*dialog, "callsign")->text(), "N0CALL-13");
        EXPECT_EQ(child<QLineEdit>(*dialog, "path")->text(), "WIDE2-1");
        EXPECT_EQ(child<QPushButton>(*dialog, "writeButton")->text(), "Write");
        EXPECT_FALSE(child<QPushButton>(*dialog, "diagnosticsButton")->isEnabled());  // KX8 has no test commands

        // The vane label follows its slider; the hemisphere button toggles.
        const QString shots = qEnvironmentVariable("VARNEL_SCREENSHOT_DIR");
        if (!shots.isEmpty()) dialog->grab().save(QDir(shots).filePath("weather-kx8-station.png"));
        child<QSlider>(*dialog, "windVane")->setValue(2);
        EXPECT_EQ(child<QLabel>(*dialog, "windVaneLabel")->text(), QString::fromUtf8("45.00\xC2\xB0"));
        child<QPushButton>(*dialog, "latHemisphere")->click();
        EXPECT_EQ(child<QPushButton>(*dialog, "latHemisphere")->text(), "S");
        QLineEdit* callsign = child<QLineEdit>(*dialog, "callsign");
        callsign->selectAll();
        QTest::keyClicks(callsign, "K1WX-3");

        emu->clearLog();
        test::onNextModal([](QWidget* progress) {
            auto* ok = progress->findChild<QPushButton*>("okButton");
            if (ok == nullptr || !ok->isEnabled()) return false;
            ok->click();
            return true;
        });
        child<QPushButton>(*dialog, "writeButton")->click();
        child<QPushButton>(*dialog, "exitButton")->click();
        return true;
    });
    EXPECT_EQ(runDialogLoop(f.session, f.ui, app.dialogs()), LoopEnd::LeaveBootloader);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();

    std::uint32_t written = 0, lowest = ~0u, highest = 0;
    for (const auto& e : emu->commandLog()) {
        if (e.command != 'W') continue;
        written += e.length;
        lowest = std::min(lowest, e.address);
        highest = std::max(highest, e.address + e.length);
    }
    EXPECT_EQ(written, 255u);
    EXPECT_EQ(lowest, kSettings);
    EXPECT_EQ(highest, kSettings + 255);

    const std::vector<std::uint8_t> area = emu->readFlash(kSettings, 255);
    EXPECT_EQ(area[0], kFamilyWeather);
    const ConstWeatherRecord r(area.data() + 5);
    EXPECT_EQ(decodeAddress(r.sourceAddress()), "K1WX-3");
    EXPECT_EQ(r.windVane(), 2);
    EXPECT_EQ(r.latitude(), "4736.25S");
    EXPECT_EQ(std::vector<std::uint8_t>(area.begin() + 200, area.end()), std::vector<std::uint8_t>(55, 0x5A));
}

TEST(WeatherConfigDialog, FitsASmallScreen) {
    test::UiFixture f;
    selectTarget(f.session.target, "AP64");
    f.session.settings.setFamily(kFamilyWeather);
    CWeatherConfigDialog d(f.context);
    const QSize wanted = d.sizeHint().expandedTo(d.minimumSizeHint());
    EXPECT_LE(wanted.width(), 1024);
    EXPECT_LE(wanted.height(), 740);
    EXPECT_EQ(d.form().writeButton.text, "Connect");
    d.resize(wanted);
    const QString shots = qEnvironmentVariable("VARNEL_SCREENSHOT_DIR");
    if (!shots.isEmpty()) d.grab().save(QDir(shots).filePath("weather-ap64.png"));
}

TEST(WeatherConfigDialog, OfflineWriteStoresFirstThenConnectsAndSaveKeepsWhatPassed) {
    test::UiFixture f;
    selectTarget(f.session.target, "KX8");
    f.session.link.deviceInfo.deviceId = "KX8";
    f.session.settings.setFamily(kFamilyWeather);
    CWeatherConfigDialog d(f.context);
    child<QLineEdit>(d, "comment")->setText("Ridge");
    child<QLineEdit>(d, "directionThreshold")->setText("0");
    child<QPushButton>(d, "writeButton")->click();
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Direction threshold must be in the range of 1 to 180"});

    // Saving stores what passes and writes the file all the same.
    QTemporaryDir dir;
    const QString path = dir.filePath("wx.cfg");
    f.files.answers = {path, path};
    child<QPushButton>(d, "saveButton")->click();
    EXPECT_EQ(QFile(path).size(), 537);
    child<QLineEdit>(d, "comment")->setText("changed");
    child<QPushButton>(d, "loadButton")->click();
    EXPECT_EQ(child<QLineEdit>(d, "comment")->text(), "Ridge");

    child<QLineEdit>(d, "directionThreshold")->setText("90");
    QString opened;
    test::onNextModal([&](QWidget* w) {
        opened = w->metaObject()->className();
        static_cast<QDialog*>(w)->reject();
        return true;
    });
    child<QPushButton>(d, "writeButton")->click();
    EXPECT_EQ(opened, "varnel::CConnectDialog");
    EXPECT_NE(d.result(), 99);
}

}  // namespace
}  // namespace varnel
