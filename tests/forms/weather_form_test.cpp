#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "config/ax25_codec.h"
#include "config/settings_packing.h"
#include "config/weather_record.h"
#include "forms/weather/weather_form.h"
#include "support/recording_ui.h"

namespace varnel::test {
namespace {

namespace wl = weather_layout;

// A weather station on `chip` whose record passes a store of the untouched
// form, with the form opened on it.
struct WeatherBench {
    Session session;
    WeatherForm form;
    RecordingUi ui;

    explicit WeatherBench(const std::string& chip = "AP64", bool connected = false) {
        selectTarget(session.target, chip);
        session.link.connected = connected;
        session.metric = false;
        session.settings.setFamily(kFamilyWeather);
        const WeatherRecord r = record();
        AddressField call{};
        encodeAddress("W1AW-13", call);
        std::copy(call.begin(), call.end(), r.sourceAddress());
        r.setDirectionThreshold(45);
        r.setLatitude("4736.25N");
        r.setLongitude("12219.50W");
        startWeatherForm(form, session);
    }
    WeatherRecord record() { return WeatherRecord(session.settings.profile(0)); }
    std::uint8_t at(std::size_t offset) { return record().u8(offset); }
    // The one message of a failed store, or "" when it passed.
    std::string store() {
        ui.messages.clear();
        const int rc = storeWeatherRecord(form, session, ui);
        if (rc == 0) return ui.messages.empty() ? "" : "passed with a message: " + ui.messages.front();
        return ui.messages.size() == 1 ? ui.messages.front() : "failed without exactly one message";
    }
};

TEST(WeatherForm, OpeningForcesMetricAndSwitchesTheButtonsByKindAndConnection) {
    struct Case {
        const char* chip;
        bool connected, diagnostics, voltage;
    } cases[] = {
        {"AP64", true, true, true},     {"JL16", true, true, true}, {"AW32", true, true, true},
        {"AP64", false, false, true},   {"KX8", true, false, true}, {"JM60", true, false, false},
        {"JM128", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.chip) + (c.connected ? " connected" : " offline"));
        WeatherBench b(c.chip, c.connected);
        EXPECT_TRUE(b.session.metric);
        EXPECT_EQ(b.form.diagnosticsButton.enabled, c.diagnostics);
        EXPECT_EQ(b.form.firmwareFileButton.enabled, c.connected);
        EXPECT_EQ(b.form.firmwareNetworkButton.enabled, c.connected);
        EXPECT_EQ(b.form.writeButton.text, c.connected ? "Write" : "Connect");
        EXPECT_EQ(b.form.lowVoltage.enabled, c.voltage);
        EXPECT_EQ(b.form.lowVoltageEnabled.enabled, c.voltage);
    }
}

// Each case edits the opened form, stores, and checks the message and the
// bytes; later fields of a failed store keep their old values.
TEST(WeatherForm, StoreChecksEachFieldInOrderAndStoresWhatPassed) {
    using Edit = std::function<void(WeatherForm&)>;
    using Check = std::function<void(WeatherBench&)>;
    const std::string longComment(50, 'c');
    struct Case {
        const char* name;
        const char* chip;
        Edit edit;
        std::string message;
        Check check;
    } cases[] = {
        {"999 ms in 4 ms steps", "AP64", [](WeatherForm& f) { f.txDelay.text = "999"; }, "",
         [](WeatherBench& b) {
             EXPECT_EQ(b.at(wl::kTxDelay), 249);
             showWeatherRecord(b.session, b.form);
             EXPECT_EQ(b.form.txDelay.text, "996");
         }},
        {"1024 ms", "AP64", [](WeatherForm& f) { f.txDelay.text = "1024"; },
         "Transmit delay must be in the range of 0 to 1023", nullptr},
        {"comment cut to 44", "AP64", [&](WeatherForm& f) { f.comment.text = longComment; }, "",
         [&](WeatherBench& b) {
             EXPECT_EQ(b.at(wl::kCommentLength), 44);
             EXPECT_EQ(b.at(wl::kCommentLengthCopy), 44);
             EXPECT_EQ(b.at(wl::kComment + 44), 0);
             EXPECT_EQ(b.record().comment(), longComment.substr(0, 44));
         }},
        {"temperature 127", "AP64", [](WeatherForm& f) { f.tempOffset.text = "127"; }, "",
         [](WeatherBench& b) {
             EXPECT_EQ(b.at(wl::kTempOffset), 0x7F);
             EXPECT_TRUE(b.record().flag(wl::kOptionFlags, wl::kOptionStored));
         }},
        {"temperature -128", "AP64", [](WeatherForm& f) { f.tempOffset.text = "-128"; }, "",
         [](WeatherBench& b) { EXPECT_EQ(b.record().tempOffset(), -128); }},
        {"temperature 128", "AP64", [](WeatherForm& f) { f.tempOffset.text = "128"; },
         "Temperature offset must be between -128 and 128 C", nullptr},
        {"direction 180", "AP64", [](WeatherForm& f) { f.directionThreshold.text = "180"; }, "",
         [](WeatherBench& b) { EXPECT_EQ(b.at(wl::kDirectionThreshold), 180); }},
        {"direction 0", "AP64", [](WeatherForm& f) { f.directionThreshold.text = "0"; },
         "Direction threshold must be in the range of 1 to 180", nullptr},
        {"direction -5", "AP64", [](WeatherForm& f) { f.directionThreshold.text = "-5"; },
         "Direction threshold must be in the range of 1 to 180", nullptr},
        {"minimum interval", "AP64", [](WeatherForm& f) { f.minimumInterval.text = "65536"; },
         "Minimum interval must be in the range of 0 to 65535", nullptr},
        {"position", "AP64",
         [](WeatherForm& f) {
             f.latDegrees.text = "49";
             f.latMinutes.text = "12.345";
             f.lonDegrees.text = "7";
             f.lonMinutes.text = "5";
             weatherControlChanged(f, weather_id::kLonHemisphere);  // W -> E
         },
         "",
         [](WeatherBench& b) {
             EXPECT_EQ(b.record().latitude(), "4912.34N");
             EXPECT_EQ(b.record().longitude(), "00705.00E");
         }},
        {"minutes 0.29 truncate to 29 hundredths", "AP64", [](WeatherForm& f) { f.latMinutes.text = "0.29"; }, "",
         [](WeatherBench& b) { EXPECT_EQ(b.record().latitude(), "4700.29N"); }},
        {"minutes with a decimal comma", "AP64", [](WeatherForm& f) { f.latMinutes.text = "36,25"; }, "",
         [](WeatherBench& b) { EXPECT_EQ(b.record().latitude(), "4736.25N"); }},
        {"minutes that are not a number", "AP64", [](WeatherForm& f) { f.lonMinutes.text = "19.5'"; },
         "Invalid longitude", [](WeatherBench& b) { EXPECT_EQ(b.record().longitude(), "12219.50W"); }},
        {"an interval that is not a number", "AP64", [](WeatherForm& f) { f.transmitInterval.text = "10 min"; },
         "Transmit interval must be in the range of 0 to 65535", nullptr},
        {"bad latitude minutes keep the degrees", "AP64",
         [](WeatherForm& f) {
             f.latDegrees.text = "12";
             f.latMinutes.text = "61";
         },
         "Invalid latitude", [](WeatherBench& b) { EXPECT_EQ(b.record().latitude(), "1236.25N"); }},
        {"empty path", "AP64", [](WeatherForm& f) { f.path.text = ""; }, "",
         [](WeatherBench& b) {
             EXPECT_EQ(b.at(wl::kPathLength), 0);
             EXPECT_EQ(b.at(wl::kSourceSsid) & 0x81, 0x81);
         }},
        {"four digipeaters", "AP64",
         [](WeatherForm& f) {
             f.comment.text = "new comment";
             f.callsign.text = "K1ABC";
             f.path.text = "WIDE1-1,WIDE2-2,WIDE3-3,WIDE4-4";
             f.txDelay.text = "400";
         },
         "Path too long",
         [](WeatherBench& b) {
             EXPECT_EQ(b.record().comment(), "new comment");
             EXPECT_EQ(decodeAddress(b.record().sourceAddress()), "K1ABC");
             EXPECT_EQ(b.at(wl::kTxDelay), 0);  // not reached
         }},
        {"unchecked stop box stores 0", "KX8",
         [](WeatherForm& f) {
             f.lowVoltageEnabled.checked = false;
             f.lowVoltage.text = "9.00";
         },
         "",
         [](WeatherBench& b) {
             EXPECT_EQ(b.at(wl::kLowVoltage), 0);
             showWeatherRecord(b.session, b.form);
             EXPECT_FALSE(b.form.lowVoltageEnabled.checked);
         }},
        {"KX8 6.00 V", "KX8",
         [](WeatherForm& f) {
             f.lowVoltageEnabled.checked = true;
             f.lowVoltage.text = "6.00";
         },
         "", [](WeatherBench& b) { EXPECT_EQ(b.at(wl::kLowVoltage), 102); }},
        {"AP64 6.00 V", "AP64",
         [](WeatherForm& f) {
             f.lowVoltageEnabled.checked = true;
             f.lowVoltage.text = "6.00";
         },
         "", [](WeatherBench& b) { EXPECT_EQ(b.at(wl::kLowVoltage), 76); }},
        {"KX8 16 V does not fit a byte", "KX8",
         [](WeatherForm& f) {
             f.lowVoltageEnabled.checked = true;
             f.lowVoltage.text = "16";
         },
         "Minimum voltage must be in the range of 0 to 15.00", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WeatherBench b(c.chip);
        c.edit(b.form);
        EXPECT_EQ(b.store(), c.message);
        if (c.check) c.check(b);
    }
}

TEST(WeatherForm, LowVoltageShownReadsBackAndChipsWithoutADividerKeepTheByte) {
    // 102 units on JL16 show as 7.40 V; truncating 7.40 x 13.783 would store
    // 101 and lower the limit on every Write.
    WeatherBench jl16("JL16");
    jl16.record().setLowVoltage(102);
    showWeatherRecord(jl16.session, jl16.form);
    EXPECT_EQ(jl16.form.lowVoltage.text, "7.40");
    EXPECT_EQ(jl16.store(), "");
    EXPECT_EQ(jl16.at(wl::kLowVoltage), 102);

    WeatherBench jm60("JM60");
    jm60.record().setLowVoltage(150);
    showWeatherRecord(jm60.session, jm60.form);
    EXPECT_TRUE(jm60.form.lowVoltageEnabled.checked);
    EXPECT_EQ(jm60.form.lowVoltage.text, "");
    jm60.form.lowVoltageEnabled.checked = false;
    EXPECT_EQ(jm60.store(), "");
    EXPECT_EQ(jm60.at(wl::kLowVoltage), 150);
}

TEST(WeatherForm, ShowStaysInsideTheSlotsAFlashRecordMayOverrun) {
    WeatherBench b;
    std::vector<std::uint8_t> path;
    ASSERT_EQ(encodePath("WIDE1-1,WIDE2-1,WIDE3-1", path), 21);
    path[20] &= ~0x01;  // no end mark
    std::copy(path.begin(), path.end(), b.record().path());
    b.record().setPathLength(200);
    b.record().setU8(wl::kCommentLength, 200);
    for (std::size_t i = wl::kComment; i < wl::kLatitude; ++i) b.record().setU8(i, 'x');
    b.record().setWindVane(3);
    b.record().setU8(wl::kModem300Baud, 1);
    showWeatherRecord(b.session, b.form);
    EXPECT_EQ(b.form.path.text, "WIDE1-1,WIDE2-1,WIDE3-1");
    EXPECT_EQ(b.form.comment.text, std::string(44, 'x'));
    EXPECT_EQ(b.form.windVaneLabel.text, "67.50\xC2\xB0");
    EXPECT_TRUE(b.form.baud300.checked);
    EXPECT_FALSE(b.form.baud1200.checked);

    // A modem byte that is neither 0 nor 1 leaves the buttons as they were.
    b.record().setU8(wl::kModem300Baud, 7);
    showWeatherRecord(b.session, b.form);
    EXPECT_TRUE(b.form.baud300.checked);
}

TEST(WeatherSettings, PackedAsOneFlatBlockOfExactly255Bytes) {
    Session s;
    selectTarget(s.target, "JL16");
    for (std::size_t i = 0; i < s.settings.bytes.size(); ++i) s.settings.bytes[i] = static_cast<std::uint8_t>(i);
    s.image.reset();
    // The new firmware's header, as its loader leaves it (touched).
    for (std::uint32_t i = 0; i < 4; ++i) {
        s.image.bytes[s.target.settingsAddress + i] = i == 0 ? 0x01 : 0x00;
        s.image.touched[s.target.settingsAddress + i] = kTouchedData;
    }
    packWeatherSettingsKeepingHeader(s.image, s.target, s.settings);
    const auto span = s.image.touchedSpan();
    ASSERT_TRUE(span);
    EXPECT_EQ(span->first, s.target.settingsAddress);
    EXPECT_EQ(span->second, s.target.settingsAddress + 255);
    EXPECT_EQ(s.image.bytes[s.target.settingsAddress], 0x01);
    EXPECT_EQ(s.image.bytes[s.target.settingsAddress + 254], 254);

    SettingsRecord back;
    unpackWeatherSettings(s.image, s.target, back);
    EXPECT_EQ(back.bytes[200], 200);  // flat, not JL16's per-profile layout
}

}  // namespace
}  // namespace varnel::test
