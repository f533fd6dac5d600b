#include <gtest/gtest.h>

#include <functional>

#include "config/profile_layout.h"
#include "config/units.h"
#include "forms/tracker/tracker_messages.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

namespace pl = profile_layout;
namespace msg = tracker_message;

TEST(TrackerStore, UntouchedFormStoresAndReportsNothing) {
    TrackerBench b("AP64");
    b.start();
    EXPECT_EQ(b.storeMessage(), "");
}

// Each out-of-range entry fails with its own message and -1.
TEST(TrackerStore, RangeMessages) {
    struct Case {
        const char* chip;
        std::uint8_t family;
        std::function<void(TrackerForm&)> edit;
        const char* message;
    };
    const std::vector<Case> cases{
        {"AP64", 0, [](TrackerForm& f) { f.callsign.text = "W1AW/M"; },
         "Invalid callsign \"W1AW/M\": a callsign takes letters and digits only."},
        {"AP64", 0, [](TrackerForm& f) { f.callsign.text = "W1AW-16"; },
         "Invalid callsign \"W1AW-16\": SSID must be 0 to 15."},
        {"AP64", 0, [](TrackerForm& f) { f.callsign.text = "W1AW-7xyz"; },
         "Invalid callsign \"W1AW-7xyz\": only the SSID number may follow the '-'."},
        // The box's nine characters would have made SSID 150 into 15.
        {"AP64", 0, [](TrackerForm& f) { f.callsign.text = "ABCDEF-150"; },
         "Invalid callsign \"ABCDEF-150\": SSID must be 0 to 15."},
        {"AP64", 0, [](TrackerForm& f) { f.path.text = "WIDE1-1,TOOLONGELEMENT,X"; },
         "Invalid path setting \"TOOLONGELEMENT\": a callsign has at most six letters and digits before the '-'."},
        // Spaces are dropped from the path box, but not those that join two
        // elements: that would send one hop where two were typed.
        {"AP64", 0, [](TrackerForm& f) { f.path.text = "WIDE1-1 WIDE2-1"; },
         "Invalid path setting \"WIDE1-1 WIDE2-1\": elements are separated by commas, with no spaces."},
        {"AP64", 0, [](TrackerForm& f) { f.path.text = "WIDE1-1;WIDE2-1"; },
         "Invalid path setting \"WIDE1-1;WIDE2-1\": only the SSID number may follow the '-'."},
        {"AP64", 0, [](TrackerForm& f) { f.path.text = "WIDE1-1,,WIDE2-1"; },
         "Invalid path setting \"WIDE1-1,,WIDE2-1\": an element is empty; elements are separated by single commas."},
        {"AP64", 0, [](TrackerForm& f) { f.path.text = "WIDE1-1,WIDE2-16"; },
         "Invalid path setting \"WIDE2-16\": SSID must be 0 to 15."},
        {"AP64", 0, [](TrackerForm& f) { f.path.text = "A,B,C,D"; }, msg::kPathTooLong},
        {"AP64", 0, [](TrackerForm& f) { f.txDelay.text = "1684"; }, msg::kTxDelayMs},
        {"AP64", 0, [](TrackerForm& f) { f.txDelay.text = "-1"; }, msg::kTxDelayMs},
        {"AP64", 0, [](TrackerForm& f) { f.txDelay.text = "abc"; }, msg::kTxDelayMs},
        {"AP64", 2, [](TrackerForm& f) { f.txDelay.text = "256"; }, msg::kTxDelayBytes},
        {"AP64", 0, [](TrackerForm& f) { f.powerOnDelay.text = "256"; }, msg::kPowerDelay},
        {"AP64", 0, [](TrackerForm& f) { f.quietTime.text = "300"; }, msg::kQuietTime},
        {"AP64", 0, [](TrackerForm& f) { f.timeslot.text = "3601"; }, msg::kTimeslot},
        {"AP64", 0, [](TrackerForm& f) { f.timeslot.text = "-1"; }, msg::kTimeslot},
        {"AP64", 0, [](TrackerForm& f) { f.beaconInterval.text = "65536"; }, msg::kBeaconInterval},
        {"AP64", 0, [](TrackerForm& f) { f.beaconInterval.text = "600s"; }, msg::kBeaconInterval},  // not 0
        {"AP64", 2, [](TrackerForm& f) { f.carrierMultiplier.text = "16x"; }, msg::kCarrierMultiplier},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.statusRadio.checked = true;
             f.commentRadio.checked = false;
             f.statusEvery.text = "0";
         },
         msg::kStatusInterval},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.statusRadio.checked = true;
             f.commentRadio.checked = false;
             f.statusEvery.text = "16";
         },
         msg::kStatusInterval},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.rangeEnabled.checked = true;
             f.range.text = "411";
         },
         msg::kWaypointRange},
        {"JM60", 0, [](TrackerForm& f) { f.portAMode.selected = -1; }, msg::kPortAMode},
        {"JM60", 0, [](TrackerForm& f) { f.portBMode.selected = -1; }, msg::kPortBMode},
        {"JM128", 0, [](TrackerForm& f) { f.portASpeed.selected = -1; }, msg::kPortASpeed},
        {"JM128", 0, [](TrackerForm& f) { f.portBSpeed.selected = -1; }, msg::kPortBSpeed},
        {"AP64", 0, [](TrackerForm& f) { f.skipCount.text = "256"; }, msg::kSkipCount},
        {"AP64", 0, [](TrackerForm& f) { f.skipCount.text = "-1"; }, msg::kSkipCount},
        {"AP64", 0, [](TrackerForm& f) { f.counterRearm.text = "256"; }, msg::kRearmDelay},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.telemetry.checked = true;
             f.telemetryEvery.text = "16";
         },
         msg::kTelemetryInterval},
        {"AP64", 0, [](TrackerForm& f) { f.tempCalibration.text = "128"; }, msg::kTempOffset},
        {"AP64", 0, [](TrackerForm& f) { f.tempCalibration.text = "-129"; }, msg::kTempOffset},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.fixedRadio.checked = true;
             f.gpsRadio.checked = false;
             f.latDegrees.text = "91";
         },
         msg::kInvalidLatitude},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.fixedRadio.checked = true;
             f.gpsRadio.checked = false;
             f.latMinutes.text = "60.01";
         },
         msg::kInvalidLatitude},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.fixedRadio.checked = true;
             f.gpsRadio.checked = false;
             f.latMinutes.text = "36.2x";
         },
         msg::kInvalidLatitude},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.fixedRadio.checked = true;
             f.gpsRadio.checked = false;
             f.lonDegrees.text = "181";
         },
         msg::kInvalidLongitude},
        {"KX8", 0,
         [](TrackerForm& f) {
             f.fixedRadio.checked = true;
             f.gpsRadio.checked = false;
             f.lonMinutes.text = "-0.5";
         },
         msg::kInvalidLongitude},
        {"KX8", 0,
         [](TrackerForm& f) {
             f.lowVoltageEnabled.checked = true;
             f.lowVoltage.text = "15.06";
         },
         "Minimum voltage must be in the range of 0 to 15.00"},
        {"JL16", 0,
         [](TrackerForm& f) {
             f.lowVoltageEnabled.checked = true;
             f.lowVoltage.text = "18.6";
         },
         "Minimum voltage must be in the range of 0 to 18.50"},
        {"AP64", 0,
         [](TrackerForm& f) {
             f.lowVoltageEnabled.checked = true;
             f.lowVoltage.text = "-1";
         },
         "Minimum voltage must be in the range of 0 to 20.00"},
    };
    for (const Case& c : cases) {
        TrackerBench b(c.chip, c.family);
        b.start();
        c.edit(b.form);
        EXPECT_EQ(b.storeMessage(), c.message) << c.chip;
    }
}

TEST(TrackerStore, TransmitDelay) {
    struct Case {
        std::uint8_t family;
        const char* text;
        std::uint8_t raw;
    };
    for (const Case& c : {Case{0, "1683", 255}, Case{0, "10", 1}, Case{0, "0", 0}, Case{0, "5", 0},
                          Case{0, "1682", 254}, Case{0, "", 0}, Case{2, "255", 255}, Case{2, "7", 7}}) {
        TrackerBench b("AP64", c.family);
        b.start();
        b.form.txDelay.text = c.text;
        ASSERT_EQ(b.store(), 0) << c.text;
        EXPECT_EQ(b.profile().txDelay(), c.raw) << c.text;
    }
}

// Showing a profile and storing it again without an edit, as a tab change
// or a unit switch does, must not change the stored values.
TEST(TrackerStore, ShowThenStoreKeepsEveryStoredValue) {
    for (const char* chip : {"KX8", "JL16", "AP64"}) {
        for (bool metric : {true, false}) {
            TrackerBench b(chip, kFamilyTracker, metric);
            b.start();
            for (int raw = 0; raw < 256; ++raw) {
                ProfileRecord p = b.profile();
                p.setTxDelay(static_cast<std::uint8_t>(raw));
                p.setLowVoltage(static_cast<std::uint8_t>(raw));
                p.setTempOffset(static_cast<std::int8_t>(raw - 128));
                if (b.session.target.kind != KindKX8 && b.session.target.kind != KindJL16)
                    p.setWaypointRange(static_cast<std::uint8_t>(raw));
                const std::uint8_t range = p.waypointRange();
                b.show();
                ASSERT_EQ(b.store(), 0) << chip << " raw " << raw;
                EXPECT_EQ(p.txDelay(), raw) << chip;
                EXPECT_EQ(p.lowVoltage(), raw) << chip;
                EXPECT_EQ(p.tempOffset(), raw - 128) << chip << (metric ? " metric" : " imperial");
                EXPECT_EQ(p.waypointRange(), range) << chip;
            }
        }
    }
}

TEST(TrackerStore, TimeslotHalvesAndModemBit) {
    struct Case {
        const char* chip;
        const char* text;
        bool slow;
        std::uint16_t word;
        bool half;
    };
    for (const Case& c : {Case{"AP64", "1800.5", false, 1800, true}, Case{"AP64", "1800.25", false, 1800, false},
                          Case{"AP64", "3600.5", true, 3600, true}, Case{"KX8", "3600", true, 0x8E10, false},
                          Case{"KX8", "30.5", false, 30, true}}) {
        TrackerBench b(c.chip);
        b.start();
        b.form.timeslot.text = c.text;
        b.form.baud300.checked = c.slow;
        b.form.baud1200.checked = !c.slow;
        ASSERT_EQ(b.store(), 0) << c.text;
        EXPECT_EQ(b.profile().timeslotWord(), c.word) << c.chip << ' ' << c.text;
        EXPECT_EQ(b.profile().flag(pl::kSlotFlags, pl::kSlotHalfSecond), c.half) << c.text;
        if (b.session.target.kind != KindKX8) {
            EXPECT_EQ(b.profile().baud300(), c.slow ? 1 : 0);
        }
    }
}

TEST(TrackerStore, StatusCommentAndTelemetryNibbles) {
    TrackerBench b("AP64");
    b.profile().setEveryCounts(0x59);
    b.start();
    // Comment: the status count is not read, even when invalid.
    b.form.commentRadio.checked = true;
    b.form.statusRadio.checked = false;
    b.form.statusEvery.text = "99";
    b.form.telemetry.checked = true;
    b.form.telemetryEvery.text = "15";
    ASSERT_EQ(b.store(), 0);
    EXPECT_EQ(b.profile().everyCounts(), 0xF0);
    EXPECT_TRUE(b.profile().flag(pl::kIoFlags, pl::kIoTelemetryAfterPosition));

    b.form.statusRadio.checked = true;
    b.form.commentRadio.checked = false;
    b.form.statusEvery.text = "15";
    b.form.telemetry.checked = false;
    ASSERT_EQ(b.store(), 0);
    EXPECT_EQ(b.profile().everyCounts(), 0x0F);
    EXPECT_FALSE(b.profile().flag(pl::kIoFlags, pl::kIoTelemetryAfterPosition));
}

TEST(TrackerStore, ImperialTemperatureAndRangeLimits) {
    struct Case {
        bool metric;
        const char* temp;
        int celsius;  // stored, or 999 when refused
        const char* range;
        int miles;  // stored, or 999 when refused
    };
    for (const Case& c :
         {Case{false, "-9", -5, "255", 255}, Case{false, "230", 999, "0", 0}, Case{false, "-230", -128, "256", 999},
          Case{true, "-128", -128, "410", 255}, Case{true, "127", 127, "411", 999}, Case{true, "0", 0, "100", 62}}) {
        TrackerBench b("AP64", kFamilyTracker, c.metric);
        b.start();
        b.form.tempCalibration.text = c.temp;
        b.form.rangeEnabled.checked = true;
        b.form.range.text = c.range;
        const int rc = b.store();
        SCOPED_TRACE(std::string(c.temp) + " / " + c.range + (c.metric ? " metric" : " imperial"));
        if (c.celsius == 999) {
            EXPECT_EQ(rc, -1);
            EXPECT_EQ(b.ui.messages.back(), msg::kTempOffset);
            continue;
        }
        if (c.miles == 999) {
            EXPECT_EQ(rc, -1);
            EXPECT_EQ(b.ui.messages.back(), msg::kWaypointRange);
            continue;
        }
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(b.profile().tempOffset(), c.celsius);
        EXPECT_EQ(b.profile().waypointRange(), c.miles);
    }
    // An unticked range limit stores "no limit".
    TrackerBench b("AP64");
    b.profile().setWaypointRange(100);
    b.start();
    b.form.rangeEnabled.checked = false;
    ASSERT_EQ(b.store(), 0);
    EXPECT_EQ(b.profile().waypointRange(), 0);
}

TEST(TrackerStore, FixedPositionTexts) {
    struct Case {
        const char* chip;
        const char* latDeg;
        const char* latMin;
        bool south;
        const char* lonDeg;
        const char* lonMin;
        bool west;
        const char* lat;
        const char* lon;
    };
    for (const Case& c : {
             Case{"AP64", "47", "36.25", false, "122", "19.5", true, "4736.25N", "12219.50W"},
             Case{"AP64", "90", "60.0", true, "180", "60", false, "9060.00S", "18060.00E"},
             Case{"JM60", "5", "5", false, "7", "0.29", false, "0505.00N", "00700.29E"},
             Case{"JM60", "5", "36,25", false, "7", "0,29", false, "0536.25N", "00700.29E"},  // decimal commas
             Case{"KX8", "0", "59.999", true, "99", "0.07", true, "0059.99S", "09900.07W"},
         }) {
        TrackerBench b(c.chip);
        b.start();
        trackerControlChanged(b.form, tracker_id::kFixedRadio);
        b.form.fixedRadio.checked = true;
        trackerControlChanged(b.form, tracker_id::kFixedRadio);
        b.form.latDegrees.text = c.latDeg;
        b.form.latMinutes.text = c.latMin;
        b.form.lonDegrees.text = c.lonDeg;
        b.form.lonMinutes.text = c.lonMin;
        b.form.south = c.south;
        b.form.west = c.west;
        ASSERT_EQ(b.store(), 0) << c.lat;
        EXPECT_TRUE(b.profile().flag(pl::kOptionFlags, pl::kOptionFixedPosition));
        EXPECT_EQ(b.profile().fixedLatitude(), c.lat);
        EXPECT_EQ(b.profile().fixedLongitude(), c.lon);
    }
    // KX8 keeps the position at 108/116.
    TrackerBench kx8("KX8");
    kx8.start();
    kx8.form.fixedRadio.checked = true;
    trackerControlChanged(kx8.form, tracker_id::kFixedRadio);
    kx8.form.latDegrees.text = "12";
    ASSERT_EQ(kx8.store(), 0);
    EXPECT_EQ(kx8.session.profile()[pl::kFixedLatitudeKX8], '1');
    EXPECT_EQ(kx8.session.profile()[pl::kFixedLatitudeKX8 + 1], '2');
}

TEST(TrackerStore, TextLimitWithFixedPositionOnSmallChips) {
    const std::string sixty(60, 'x');
    struct Case {
        const char* chip;
        bool fixed;
        std::size_t stored;
    };
    for (const Case& c :
         {Case{"KX8", true, 44}, Case{"JL16", true, 44}, Case{"KX8", false, 60}, Case{"AP64", true, 60}}) {
        TrackerBench b(c.chip);
        b.start();
        b.form.fixedRadio.checked = c.fixed;
        b.form.gpsRadio.checked = !c.fixed;
        b.form.text.text = sixty;
        ASSERT_EQ(b.store(), 0);
        EXPECT_EQ(b.profile().textLength(), c.stored) << c.chip;
        EXPECT_EQ(b.session.profile()[pl::kText + c.stored], 0);
    }
    // An empty text keeps the characters and sets the length to 0.
    TrackerBench b("AP64");
    b.profile().setText("keep");
    b.start();
    b.form.text.text.clear();
    ASSERT_EQ(b.store(), 0);
    EXPECT_EQ(b.profile().textLength(), 0);
    EXPECT_EQ(b.session.profile()[pl::kText], 'k');
}

TEST(TrackerStore, PathTooLongAfterTextAndCallsignWereStored) {
    TrackerBench b("AP64");
    b.profile().setTxDelay(50);
    b.start();
    b.form.text.text = "new text";
    b.form.callsign.text = "k1abc-3";
    b.form.path.text = "WIDE1-1,WIDE2-2,WIDE3-3,WIDE4-4";
    b.form.txDelay.text = "0";
    EXPECT_EQ(b.storeMessage(), msg::kPathTooLong);
    EXPECT_EQ(b.profile().text(), "new text");
    EXPECT_EQ(decodeAddress(b.profile().sourceAddress()), "K1ABC-3");
    EXPECT_EQ(b.profile().txDelay(), 50);  // the step after the path never ran
}

TEST(TrackerStore, SourceAddressFlagsFollowThePath) {
    TrackerBench b("AP64");
    b.start();
    b.form.callsign.text = "W1AW-5";
    b.form.path.text = " WIDE1-1, WIDE2-1 ";
    ASSERT_EQ(b.store(), 0);
    EXPECT_EQ(b.profile().pathLength(), 14);
    EXPECT_EQ(b.session.profile()[pl::kSourceSsid], 0x80 | 0x60 | (5 << 1));
    EXPECT_EQ(decodePath(b.profile().path(), pl::kPathSize, b.profile().pathLength()), "WIDE1-1,WIDE2-1");

    b.form.path.text = "";
    ASSERT_EQ(b.store(), 0);
    EXPECT_EQ(b.profile().pathLength(), 0);
    EXPECT_EQ(b.session.profile()[pl::kSourceSsid], 0x80 | 0x60 | (5 << 1) | 1);
}

TEST(TrackerStore, FamilyTwoHeaderAndCarrierWord) {
    struct Case {
        const char* call;
        const char* multiplier;
        const char* header;
        int n;
    };
    for (const Case& c : {Case{"W1AW", "16", "W1AW>APRS:", 16}, Case{"AB1CDE-12", "300", "AB1CDE-12>APRS:", 255},
                          Case{"N0CALL", "-1", "N0CALL>APRS:", 255}, Case{"K1A", "0", "K1A>APRS:", 0}}) {
        TrackerBench b("AP64", kFamilyTrackerText);
        b.start();
        b.form.callsign.text = c.call;
        b.form.carrierMultiplier.text = c.multiplier;
        ASSERT_EQ(b.store(), 0) << c.call;
        EXPECT_EQ(b.profile().textHeader(), c.header);
        EXPECT_EQ(b.profile().pathLength(), std::string(c.header).size());
        EXPECT_EQ(b.profile().carrierMultiplier(), c.n);
        // multiplier x 31.25 / 0.439453125, high byte first
        const unsigned word = static_cast<unsigned>(c.n * 31.25 / 0.439453125);
        EXPECT_EQ(b.session.profile()[pl::kCarrierWord], word >> 8);
        EXPECT_EQ(b.session.profile()[pl::kCarrierWord + 1], word & 0xFF);
    }
}

TEST(TrackerStore, BitsFromBoxesAndChipDependentBitZero) {
    TrackerBench ap64("AP64");
    ap64.start();
    ap64.form.customSymbols.checked = true;
    ap64.form.powerActiveLow.checked = false;
    ap64.form.usbKiss.checked = true;
    ap64.form.portAMode.selected = 1;   // Garmin
    ap64.form.portBSpeed.selected = 7;  // 115200
    ap64.form.audioLevel.position = 99;
    ASSERT_EQ(ap64.store(), 0);
    EXPECT_TRUE(ap64.profile().flag(pl::kIoFlags, 0x01));
    EXPECT_TRUE(ap64.profile().flag(pl::kRadioFlags, pl::kRadioUsbKiss));
    EXPECT_EQ(ap64.profile().portAMode(), kModeGarmin);
    EXPECT_EQ(ap64.profile().portBSpeed(), 0x02);
    EXPECT_EQ(ap64.profile().audioLevel(), 99);

    TrackerBench jl16("JL16");
    jl16.start();
    jl16.form.customSymbols.checked = false;
    jl16.form.powerActiveLow.checked = true;
    jl16.form.waypointNameLength.selected = 3;
    jl16.form.waypoints.checked = true;
    ASSERT_EQ(jl16.store(), 0);
    EXPECT_TRUE(jl16.profile().flag(pl::kIoFlags, 0x01));
    EXPECT_EQ(jl16.profile().featureFlags() & 0x0B, 0x0B);
}

}  // namespace
}  // namespace varnel::test
