#include <gtest/gtest.h>

#include "config/profile_record.h"
#include "forms/satellite/access_list_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "forms/satellite/profile_switch_form.h"
#include "forms/satellite/smart_beacon_form.h"
#include "forms/satellite/status_text_form.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

// A session on `chip` and a recording interface; `messages()` empties the
// record so that each step's words can be compared alone.
struct Bench {
    Session s;
    RecordingUi ui;
    explicit Bench(const std::string& chip = "JM128", bool metric = true) : s(trackerSession(chip)) {
        s.metric = metric;
    }
    ProfileRecord profile(int i) { return ProfileRecord(s.settings.profile(i), s.target.kind); }
    std::vector<std::string> messages() { return std::exchange(ui.messages, {}); }
};

TEST(SmartBeaconForm, ConvertsChecksInOrderAndKeepsWhatPassed) {
    struct Case {
        bool metric;
        const char *low, *high, *angle;
        const char* message;  // "" when it passes
        int lowRaw, highRaw;  // stored (-1: not stored, still the old 0)
    };
    const Case cases[] = {
        {true, "5", "90", "30", "", 4, 78},
        {false, "10", "183", "30", "High speed threshold out of range", -1, -1},
        {false, "10", "182", "30", "", 14, 254},
        {true, "50", "50", "30", "", 43, 43},
        {true, "60", "50", "30", "Low speed threshold must be less than high speed threshold", 52, 43},
        {true, "-5", "50", "30", "Low speed threshold out of range", -1, 43},
        {true, "5", "90", "181", "Turn angle must be between 0 and 180 degrees", 4, 78},
        {true, "5", "90", "-1", "Turn angle must be between 0 and 180 degrees", 4, 78},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.low) + "/" + c.high + "/" + c.angle);
        Bench b("JM128", c.metric);
        SmartBeaconForm f;
        showSmartBeacon(b.s, f);
        EXPECT_EQ(f.speedUnitLabel.text, c.metric ? "km/h" : "MPH");
        f.lowSpeed.text = c.low;
        f.highSpeed.text = c.high;
        f.slowInterval.text = "1800";
        f.fastInterval.text = "90";
        f.turnAngle.text = c.angle;
        f.turnInterval.text = "15";
        EXPECT_EQ(checkAndStoreSmartBeacon(f, b.s, b.ui), *c.message ? -1 : 0);
        EXPECT_EQ(b.messages(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        // The intervals come before the speeds, so they are in even when a
        // speed fails; the angle comes after.
        EXPECT_EQ(b.profile(0).beaconInterval(), 90);
        EXPECT_EQ(b.profile(0).slowInterval(), 1800);
        EXPECT_EQ(b.profile(0).lowSpeed(), c.lowRaw < 0 ? 0 : c.lowRaw);
        EXPECT_EQ(b.profile(0).highSpeed(), c.highRaw < 0 ? 0 : c.highRaw);
        EXPECT_EQ(b.profile(0).turnAngle(), *c.message ? 0 : 30);
    }
    // Shown again: display truncates (78 units are 89.86 km/h).
    Bench b;
    b.profile(0).setLowSpeed(4);
    b.profile(0).setHighSpeed(78);
    SmartBeaconForm f;
    showSmartBeacon(b.s, f);
    EXPECT_EQ(f.lowSpeed.text, "4");
    EXPECT_EQ(f.highSpeed.text, "89");
    EXPECT_FALSE(f.slider.visible);
    // The high speed typed equal to the shown low one is that same speed,
    // not 4 km/h converted (3 units, below the low speed and refused).
    f.highSpeed.text = "4";
    EXPECT_EQ(checkAndStoreSmartBeacon(f, b.s, b.ui), 0);
    EXPECT_EQ(b.profile(0).highSpeed(), 4);
}

TEST(SmartBeaconForm, RefusesNegativeAndOversizedIntervals) {
    const std::pair<FormControl SmartBeaconForm::*, const char*> cases[] = {
        {&SmartBeaconForm::fastInterval, "Transmit interval must be in the range of 0 to 65535"},
        {&SmartBeaconForm::slowInterval, "Low speed interval must be in the range of 0 to 65535"},
        {&SmartBeaconForm::turnInterval, "Minimum transmit interval must be in the range of 0 to 255"},
    };
    for (const auto& [member, message] : cases)
        for (const char* value : {"-1", "65536"}) {
            Bench b;
            SmartBeaconForm f;
            showSmartBeacon(b.s, f);
            (f.*member).text = value;
            if (member == &SmartBeaconForm::turnInterval && std::string(value) == "65536") (f.*member).text = "256";
            EXPECT_EQ(checkAndStoreSmartBeacon(f, b.s, b.ui), -1);
            EXPECT_EQ(b.messages(), std::vector<std::string>{message}) << value;
        }
}

TEST(FrequencyForm, StoresHzBigEndianToTheNearestHzAndTheChannelChoice) {
    struct Case {
        const char* text;
        std::uint32_t hz;  // 0 with a message: refused
        const char* message;
    };
    const Case cases[] = {
        {"145.5", 145500000, ""},
        {"144.39", 144390000, ""},      // not 144389999
        {"145.500009", 145500009, ""},  // read whole, not from its first 8 characters
        {"145.00625", 145006250, ""},
        {"145,5", 145500000, ""},  // a decimal comma
        {"145.5MHz", 0, "Invalid frequency"},
        {"4294.967", 4294967000u, ""},
        {"4295", 0, "Invalid frequency"},
        {"-1", 0, "Invalid frequency"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Bench b("JL16");
        FrequencyForm f;
        showFrequencies(b.s, f);
        f.channel2.text = c.text;
        EXPECT_EQ(checkAndStoreFrequencies(f, b.s, b.ui), *c.message ? -1 : 0);
        EXPECT_EQ(b.messages(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(getU32BE(&b.s.radio.bytes[6]), c.hz);
    }

    Bench b("JL16");
    FrequencyForm f;
    showFrequencies(b.s, f);
    f.channel1.text = "145.5";
    f.primarySelector.checked = true;
    f.primary1.checked = false;
    f.secondary3.checked = true;
    f.secondary1.checked = false;
    f.every.text = "12";  // more than the box takes: refused, not read as 1
    ASSERT_EQ(checkAndStoreFrequencies(f, b.s, b.ui), -1);
    EXPECT_EQ(b.messages(), std::vector<std::string>{frequency_message::kInvalidEvery});
    f.every.text = "1";
    ASSERT_EQ(checkAndStoreFrequencies(f, b.s, b.ui), 0);
    EXPECT_EQ(std::vector<int>(b.s.radio.bytes.begin() + 2, b.s.radio.bytes.begin() + 6),
              (std::vector<int>{0x08, 0xAC, 0x27, 0x60}));
    EXPECT_EQ(b.profile(0).channelSelect(), 0x28);
    EXPECT_EQ(b.profile(0).channelEvery(), 1);
    showFrequencies(b.s, f);
    EXPECT_EQ(f.channel1.text, "145.50000");
    EXPECT_TRUE(f.primarySelector.checked && f.secondary3.checked && !f.secondary1.checked);
    // Profile 2 keeps its own choice.
    EXPECT_EQ(b.profile(1).channelSelect(), 0);
}

TEST(TextForms, StatusTextsKeep39CharactersAndAccessEntriesAreNulPadded) {
    Bench b("JL16");
    StatusTextForm t;
    t.text1.text = std::string(39, 'a') + "Z";
    t.text2.text = "short";
    storeStatusTexts(t, b.s);
    EXPECT_EQ(b.s.radio.bytes[34 + 39], 0);
    showStatusTexts(b.s, t);
    EXPECT_EQ(t.text1.text, std::string(39, 'a'));
    EXPECT_EQ(t.text2.text, "short");
    EXPECT_EQ(t.text3.text, "");

    AccessListForm a;
    a.call1.text = "W1ABCD";
    a.call4.text = "k9x";
    std::fill(b.s.settings.bytes.begin() + 451, b.s.settings.bytes.begin() + 487, 0x55);
    EXPECT_EQ(checkAndStoreAccessList(a, b.s, b.ui), 0);
    EXPECT_EQ(std::string(b.s.settings.bytes.begin() + 451, b.s.settings.bytes.begin() + 457), "W1ABCD");
    EXPECT_EQ(std::string(b.s.settings.bytes.begin() + 469, b.s.settings.bytes.begin() + 475),
              std::string("K9X\0\0\0", 6));
    showAccessList(b.s, a);
    EXPECT_EQ(a.call1.text, "W1ABCD");  // no terminator, still six characters
    EXPECT_EQ(a.call4.text, "K9X");
    EXPECT_EQ(a.call2.text, "");
    // Only letters and digits; a refusal stores no entry.
    const auto before = b.s.settings.bytes;
    a.call1.text = "N0CALL";
    a.call2.text = "W1-AB";
    EXPECT_EQ(checkAndStoreAccessList(a, b.s, b.ui), -1);
    EXPECT_EQ(b.messages(), std::vector<std::string>{access_list_message::kInvalidCallsign});
    EXPECT_EQ(b.s.settings.bytes, before);
}

TEST(DigipeaterForm, SharedAliasesPerProfileBitsAndRefusals) {
    Bench b("JM128");
    b.s.currentProfile = 1;
    std::uint8_t* alias1 = &b.s.settings.bytes[387];
    alias1[7] = 0x15;  // firmware bits the window leaves alone
    DigipeaterForm f;
    showDigipeater(b.s, f);
    EXPECT_EQ(f.hops1.text, "");  // hop count 0 shows empty
    f.alias1.text = "wide1";
    f.hops1.text = "2";
    f.preempt1.checked = true;
    f.alias3.text = "WIDE2";
    f.hops3.text = "";
    f.insertCallsign3.checked = true;
    f.enabled3.checked = true;
    f.dupeTime.text = "30";
    f.digipeating.checked = true;
    ASSERT_EQ(checkAndStoreDigipeater(f, b.s, b.ui), 0);
    AddressField wide1{};
    encodeAddress("WIDE1", wide1);
    EXPECT_TRUE(std::equal(wide1.begin(), wide1.begin() + 6, alias1));
    EXPECT_EQ(alias1[6], 2);
    EXPECT_EQ(alias1[7], 0x55);
    EXPECT_EQ(b.s.settings.bytes[387 + 16 + 6], 0);
    EXPECT_EQ(b.s.settings.bytes[387 + 16 + 7], 0x80);
    // Profile 2's own bytes changed, profile 1's did not.
    EXPECT_EQ(b.profile(1).digiAliasBits(), 0x04);
    EXPECT_EQ(b.profile(1).digiDupeTime(), 30);
    EXPECT_TRUE(b.profile(1).flag(profile_layout::kFeatureFlags, profile_layout::kFeatureDigipeating));
    EXPECT_EQ(b.profile(0).digiAliasBits(), 0);
    EXPECT_EQ(b.profile(0).digiDupeTime(), 0);
    EXPECT_FALSE(b.profile(0).flag(profile_layout::kFeatureFlags, profile_layout::kFeatureDigipeating));
    showDigipeater(b.s, f);
    EXPECT_EQ(f.alias1.text, "WIDE1");
    EXPECT_EQ(f.hops1.text, "2");

    // Refused: a duplicate time beyond the byte, an alias the encoder
    // refuses. Nothing is stored then, not even an alias that passed, so a
    // Cancel after the refusal leaves every byte as the window found it.
    const auto before = b.s.settings.bytes;
    f.dupeTime.text = "300";
    f.alias2.text = "RELAY";
    EXPECT_EQ(checkAndStoreDigipeater(f, b.s, b.ui), -1);
    EXPECT_EQ(b.messages(), std::vector<std::string>{"Duplicate check time must be in the range of 0 to 255"});
    EXPECT_EQ(b.s.settings.bytes, before);
    f.dupeTime.text = "30";
    f.alias1.text = "AB/C";
    EXPECT_EQ(checkAndStoreDigipeater(f, b.s, b.ui), -1);
    EXPECT_EQ(b.messages(),
              std::vector<std::string>{"Invalid alias \"AB/C\": a callsign takes letters and digits only."});
    EXPECT_EQ(b.s.settings.bytes, before);

    // An erased alias (0xFF bytes) shows empty and keeps its bytes on OK.
    std::fill_n(&b.s.settings.bytes[387 + 8 * 4], 8, 0xFF);
    showDigipeater(b.s, f);
    EXPECT_EQ(f.alias5.text, "");
    ASSERT_EQ(checkAndStoreDigipeater(f, b.s, b.ui), 0);
    EXPECT_EQ(std::vector<int>(&b.s.settings.bytes[387 + 8 * 4], &b.s.settings.bytes[387 + 8 * 5]),
              std::vector<int>(8, 0xFF));
}

TEST(ProfileSwitchForm, ConversionsAndRanges) {
    struct Case {
        const char* chip;
        bool metric;
        const char *altitude, *speed, *temperature, *voltage, *adc;
        const char* message;
        int altitudeRaw, speedRaw, temperatureRaw, voltageRaw;  // -1: not reached
    };
    const Case cases[] = {
        {"JM128", true, "0", "0", "0", "0", "0", "", 3906, 0, 139, 0},
        {"JM128", true, "157744", "10", "0", "12", "200", "", 65525, 9, 139, 153},
        {"JM128", true, "157745", "0", "0", "0", "0", "Altitude comparison out of range", -1, -1, -1, -1},
        {"JM128", true, "-10001", "0", "0", "0", "0", "Altitude comparison out of range", -1, -1, -1, -1},
        {"JM128", true, "0", "300", "0", "0", "0", "Speed comparison out of range", 3906, -1, -1, -1},
        {"JM128", true, "0", "0", "250", "0", "0", "Temperature comparison out of range", 3906, 0, -1, -1},
        {"KX8", true, "0", "0", "0", "16", "0", "Voltage comparison out of range", 3906, 0, 139, -1},
        {"JM128", true, "0", "0", "0", "0", "256", "ADC input must be in the range of 0 to 255", 3906, 0, 139, 0},
        {"JM128", false, "0", "182", "32", "0", "0", "", 3906, 254, 139, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.chip) + " " + c.altitude + " " + c.speed + " " + c.temperature + " " + c.voltage);
        Bench b(c.chip, c.metric);
        ProfileSwitchForm f;
        showProfileSwitch(b.s, f);
        f.leftAltitude.text = c.altitude;
        f.leftSpeed.text = c.speed;
        f.leftTemperature.text = c.temperature;
        f.leftVoltage.text = c.voltage;
        f.leftAdc.text = c.adc;
        f.leftTransmitOnSwitch.checked = true;
        EXPECT_EQ(checkAndStoreProfileSwitch(f, b.s, b.ui), *c.message ? -1 : 0);
        EXPECT_EQ(b.messages(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        const ProfileRecord p = b.profile(0);
        const std::pair<int, int> stored[] = {{c.altitudeRaw, p.switchAltitude()},
                                              {c.speedRaw, p.switchSpeed()},
                                              {c.temperatureRaw, p.switchTemperature()},
                                              {c.voltageRaw, p.switchVoltage()}};
        for (const auto& [want, got] : stored)
            if (want >= 0) {
                EXPECT_EQ(got, want);
            }
        // The transmit options come last, after both profiles passed.
        EXPECT_EQ(p.flag(profile_layout::kOptionFlags, profile_layout::kOptionSwitchTransmit), !*c.message);
    }
}

TEST(ProfileSwitchForm, EachProfileConvertsWithItsOwnCalibrationAndTheKindsVoltageScale) {
    // Profile 2 reads 10 C high; profile 1 (calibration 0) is the one shown.
    for (bool metric : {true, false}) {
        Bench b("JM128", metric);
        b.profile(1).setTempOffset(10);
        b.profile(1).setSwitchTemperature(150);  // 150 x 1.9608 - 273 - 10 = 11.12 C
        // A target without its own voltage scale (a file's unknown chip)
        // shows the kind's, as the main dialog does, not "inf".
        b.s.target.voltageScale = 0;
        b.profile(1).setSwitchVoltage(153);
        ProfileSwitchForm f;
        showProfileSwitch(b.s, f);
        EXPECT_EQ(f.rightTemperature.text, metric ? "11" : "52");
        EXPECT_EQ(f.rightVoltage.text, "12.00");
        ASSERT_EQ(checkAndStoreProfileSwitch(f, b.s, b.ui), 0);
        EXPECT_EQ(b.profile(1).switchTemperature(), 150);
        EXPECT_EQ(b.profile(1).switchVoltage(), 153);
    }
}

TEST(ProfileSwitchForm, ShowsBothProfilesAndFlipsComparisons) {
    Bench b("KX8");
    b.profile(1).setSwitchVoltage(204);
    b.profile(1).setSwitchEnable(0x31);   // jumper, altitude, speed
    b.profile(1).setSwitchCompare(0x51);  // jumper on, altitude "<=", GPS valid
    b.profile(1).setFlag(profile_layout::kOptionFlags, profile_layout::kOptionSwitchAll, true);
    ProfileSwitchForm f;
    showProfileSwitch(b.s, f);
    EXPECT_EQ(f.rightVoltage.text, "12.00");
    EXPECT_EQ(f.rightAltitudeCompare.text, "<=");
    EXPECT_EQ(f.rightSpeedCompare.text, ">");
    EXPECT_EQ(f.leftAltitudeCompare.text, ">");
    EXPECT_TRUE(f.rightAll.checked && !f.rightAny.checked && f.leftAny.checked);
    EXPECT_TRUE(f.rightJumperOn.checked && f.rightGpsFixValid.checked && f.leftJumperOff.checked);
    EXPECT_TRUE(f.rightAltitudeEnabled.checked && f.rightSpeedEnabled.checked && !f.rightAdcEnabled.checked);
    EXPECT_EQ(f.leftAltitudeUnit.text, "Meters");

    profileSwitchControlChanged(f, profile_switch_id::kLeft.adcCompare);
    EXPECT_EQ(f.leftAdcCompare.text, "<=");
    profileSwitchControlChanged(f, profile_switch_id::kLeft.adcCompare);
    EXPECT_EQ(f.leftAdcCompare.text, ">");

    // Stored back unchanged, and a failure in profile 2 keeps profile 1's
    // new values.
    ASSERT_EQ(checkAndStoreProfileSwitch(f, b.s, b.ui), 0);
    EXPECT_EQ(b.profile(1).switchCompare(), 0x51);
    EXPECT_EQ(b.profile(1).switchEnable(), 0x31);
    EXPECT_EQ(b.profile(1).switchVoltage(), 204);
    f.leftAdc.text = "7";
    f.rightAdc.text = "999";
    EXPECT_EQ(checkAndStoreProfileSwitch(f, b.s, b.ui), -1);
    EXPECT_EQ(b.profile(0).switchAdc(), 7);
}

TEST(SatelliteForms, ShowThenStoreChangesNoByte) {
    // Truncated or coarse displays (78 units show as 89 km/h, 2 units as
    // 1 MPH) must not drift the record on an OK without edits.
    for (const bool metric : {true, false}) {
        Bench b("JM128", metric);
        for (int i = 0; i < 2; ++i) {
            b.profile(i).setLowSpeed(2);
            b.profile(i).setHighSpeed(78);
            b.profile(i).setSwitchSpeed(2);
            b.profile(i).setSwitchAltitude(12345);
            b.profile(i).setSwitchTemperature(150);
            b.profile(i).setSwitchVoltage(160);
        }
        const auto before = b.s.settings.bytes;
        SmartBeaconForm sb;
        showSmartBeacon(b.s, sb);
        ASSERT_EQ(checkAndStoreSmartBeacon(sb, b.s, b.ui), 0);
        ProfileSwitchForm ps;
        showProfileSwitch(b.s, ps);
        ASSERT_EQ(checkAndStoreProfileSwitch(ps, b.s, b.ui), 0);
        EXPECT_EQ(b.s.settings.bytes, before) << (metric ? "metric" : "imperial");
    }
}

}  // namespace
}  // namespace varnel::test
