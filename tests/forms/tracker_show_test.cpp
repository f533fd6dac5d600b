#include <gtest/gtest.h>

#include "config/profile_layout.h"
#include "forms/tracker/tracker_lists.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

namespace pl = profile_layout;

TEST(TrackerShow, TransmitDelayInMillisecondsOrBytes) {
    struct Case {
        std::uint8_t family;
        std::uint8_t raw;
        const char* shown;
        const char* unit;
    };
    for (const Case& c : {Case{kFamilyTracker, 100, "660", "mSec"}, Case{kFamilyTracker, 255, "1683", "mSec"},
                          Case{kFamilyTracker, 1, "6", "mSec"}, Case{kFamilyTrackerText, 100, "100", "bytes"}}) {
        TrackerBench b("AP64", c.family);
        b.profile().setTxDelay(c.raw);
        b.start();
        EXPECT_EQ(b.form.txDelay.text, c.shown) << int(c.raw);
        EXPECT_EQ(b.form.txDelayUnitLabel.text, c.unit);
    }
}

TEST(TrackerShow, TimeslotHalfSecondAndModemSpeedByKind) {
    TrackerBench half("AP64");
    half.profile().setTimeslotWord(0x001E);
    half.profile().setSlotFlags(pl::kSlotHalfSecond);
    half.start();
    EXPECT_EQ(half.form.timeslot.text, "30.5");

    // KX8 keeps the 300-baud choice in bit 15 of the timeslot word.
    TrackerBench kx8("KX8");
    kx8.profile().setTimeslotWord(0x8E10);
    kx8.start();
    EXPECT_EQ(kx8.form.timeslot.text, "3600");
    EXPECT_TRUE(kx8.form.baud300.checked);
    EXPECT_FALSE(kx8.form.baud1200.checked);

    // Elsewhere the word is only the timeslot and baud300 decides.
    TrackerBench ap64("AP64");
    ap64.profile().setTimeslotWord(0x8E10);
    ap64.profile().setBaud300(0);
    ap64.start();
    EXPECT_EQ(ap64.form.timeslot.text, "3600");
    EXPECT_TRUE(ap64.form.baud1200.checked);

    // A baud300 byte of neither 0 nor 1 leaves the buttons as they were.
    ap64.profile().setBaud300(1);
    ap64.show();
    EXPECT_TRUE(ap64.form.baud300.checked);
    ap64.profile().setBaud300(7);
    ap64.show();
    EXPECT_TRUE(ap64.form.baud300.checked);
    EXPECT_FALSE(ap64.form.baud1200.checked);
}

TEST(TrackerShow, StatusAndTelemetryCounts) {
    struct Case {
        std::uint8_t everyCounts;
        bool status;
        const char* statusEvery;
        bool telemetry;
        const char* telemetryEvery;
    };
    for (const Case& c : {Case{0x30, false, "0", true, "3"}, Case{0x35, true, "5", true, "3"},
                          Case{0x05, true, "5", false, "0"}, Case{0x00, false, "0", false, "0"}}) {
        TrackerBench b("AP64");
        b.profile().setEveryCounts(c.everyCounts);
        b.start();
        EXPECT_EQ(b.form.statusRadio.checked, c.status) << int(c.everyCounts);
        EXPECT_EQ(b.form.commentRadio.checked, !c.status);
        EXPECT_EQ(b.form.statusEvery.enabled, c.status);
        EXPECT_EQ(b.form.statusEvery.text, c.statusEvery);
        EXPECT_EQ(b.form.telemetry.checked, c.telemetry);
        EXPECT_EQ(b.form.telemetryEvery.enabled, c.telemetry);
        EXPECT_EQ(b.form.telemetryEvery.text, c.telemetryEvery);
    }
}

TEST(TrackerShow, UnitConversions) {
    struct Case {
        const char* chip;
        bool metric;
        std::int8_t tempOffset;
        const char* temp;
        std::uint8_t range;
        const char* rangeText;
        std::uint8_t lowVoltage;
        const char* volts;
    };
    for (const Case& c : {
             Case{"AP64", true, -5, "-5", 200, "322", 170, "13.33"},
             Case{"AP64", false, -5, "-9", 200, "200", 170, "13.33"},
             Case{"JM60", false, 127, "228", 255, "255", 255, "20.00"},
             Case{"JM128", true, -128, "-128", 255, "410", 0, "0.00"},
             Case{"KX8", true, 10, "10", 0, "", 170, "10.00"},
             Case{"JL16", false, 3, "5", 0, "", 170, "12.33"},
         }) {
        TrackerBench b(c.chip, kFamilyTracker, c.metric);
        b.profile().setTempOffset(c.tempOffset);
        b.profile().setWaypointRange(c.range);
        b.profile().setLowVoltage(c.lowVoltage);
        b.start();
        SCOPED_TRACE(std::string(c.chip) + (c.metric ? " metric" : " imperial"));
        EXPECT_EQ(b.form.tempCalibration.text, c.temp);
        if (*c.rangeText) {
            EXPECT_EQ(b.form.range.text, c.rangeText);
            EXPECT_EQ(b.form.rangeEnabled.checked, c.range != 0);
            EXPECT_EQ(b.form.range.enabled, c.range != 0);
        }
        EXPECT_EQ(b.form.lowVoltage.text, c.volts);
        EXPECT_EQ(b.form.lowVoltageEnabled.checked, c.lowVoltage != 0);
    }
}

TEST(TrackerShow, SerialListsMatchCodesOrLeaveSelection) {
    TrackerBench b("AP64");
    b.profile().setPortAMode(kModeDavis);
    b.profile().setPortBMode(kModeFlow);
    b.profile().setPortASpeed(0x00);  // port A 115200
    b.profile().setPortBSpeed(0x17);  // port B 1200
    b.start();
    EXPECT_EQ(b.form.portAMode.entries[b.form.portAMode.selected].text, "Davis");
    EXPECT_EQ(b.form.portBMode.entries[b.form.portBMode.selected].text, "Flow");
    EXPECT_EQ(b.form.portASpeed.entries[b.form.portASpeed.selected].text, "115200");
    EXPECT_EQ(b.form.portBSpeed.entries[b.form.portBSpeed.selected].text, "1200");

    // Port A has no Flow mode: no entry selected. An unknown speed code keeps
    // the previous row.
    b.profile().setPortAMode(kModeFlow);
    b.profile().setPortASpeed(0x77);
    b.show();
    EXPECT_EQ(b.form.portAMode.selected, -1);
    EXPECT_EQ(b.form.portASpeed.entries[b.form.portASpeed.selected].text, "115200");
}

TEST(TrackerShow, FixedPositionAndGpsModeKeepsEarlierTexts) {
    TrackerBench b("AP64");
    ProfileRecord fixed(b.session.settings.profile(0), KindAP64);
    fixed.setOptionFlags(pl::kOptionFixedPosition);
    fixed.setFixedLatitude("4736.25N");
    fixed.setFixedLongitude("12219.50E");
    ProfileRecord gps(b.session.settings.profile(1), KindAP64);
    gps.setFixedLatitude("1111.11S");
    gps.setFixedLongitude("02222.22W");
    b.start();
    EXPECT_TRUE(b.form.fixedRadio.checked);
    EXPECT_EQ(b.form.latDegrees.text, "47");
    EXPECT_EQ(b.form.latMinutes.text, "36.25");
    EXPECT_EQ(b.form.lonDegrees.text, "122");
    EXPECT_EQ(b.form.lonMinutes.text, "19.50");
    EXPECT_EQ(b.form.latHemisphere.text, "N");
    EXPECT_EQ(b.form.lonHemisphere.text, "E");
    EXPECT_FALSE(b.form.south);
    EXPECT_FALSE(b.form.west);
    EXPECT_TRUE(b.form.latDegrees.enabled);

    selectTrackerProfile(b.form, b.session, 1);
    EXPECT_TRUE(b.form.gpsRadio.checked);
    EXPECT_FALSE(b.form.latDegrees.enabled);
    EXPECT_FALSE(b.form.lonHemisphere.enabled);
    EXPECT_EQ(b.form.latDegrees.text, "47");
    EXPECT_EQ(b.form.lonMinutes.text, "19.50");
    EXPECT_EQ(b.form.lonHemisphere.text, "E");

    // KX8 keeps the position inside its 125 bytes; any letter but N/E
    // counts as south/west.
    TrackerBench kx8("KX8");
    kx8.profile().setOptionFlags(pl::kOptionFixedPosition);
    std::copy_n("0130.00x", 8, kx8.session.profile() + pl::kFixedLatitudeKX8);
    std::copy_n("00205.00?", 9, kx8.session.profile() + pl::kFixedLongitudeKX8);
    kx8.start();
    EXPECT_EQ(kx8.form.latDegrees.text, "01");
    EXPECT_EQ(kx8.form.lonDegrees.text, "002");
    EXPECT_EQ(kx8.form.latHemisphere.text, "S");
    EXPECT_EQ(kx8.form.lonHemisphere.text, "W");
}

TEST(TrackerShow, FamilyTwoCarrierAndHiddenPath) {
    TrackerBench b("AP64", kFamilyTrackerText);
    b.profile().setCarrierMultiplier(16);
    b.profile().setReportFlags(pl::kReportSmartBeaconing | pl::kReportCompressed);
    b.start();
    EXPECT_EQ(b.form.carrierMultiplier.text, "16");
    EXPECT_TRUE(b.form.carrierMultiplier.visible);
    EXPECT_EQ(b.form.carrierHzLabel.text, "x 31.25 = 500.00 Hz");
    EXPECT_TRUE(b.form.carrierHzLabel.visible);
    EXPECT_TRUE(b.form.carrierLabel.visible);
    EXPECT_FALSE(b.form.path.visible);
    EXPECT_FALSE(b.form.path.enabled);
    EXPECT_FALSE(b.form.pathLabel.visible);
    EXPECT_FALSE(b.form.alternatePath.visible);
    EXPECT_FALSE(b.form.smartBeaconing.checked);
    EXPECT_FALSE(b.form.smartBeaconing.enabled);
    EXPECT_FALSE(b.form.compressed.checked);
    EXPECT_FALSE(b.form.compressed.enabled);
    // With SmartBeaconing off the interval box must be usable.
    EXPECT_TRUE(b.form.beaconInterval.enabled);
    EXPECT_FALSE(b.form.smartBeaconingButton.enabled);
}

TEST(TrackerShow, TextCallsignPathSymbolAndHeaderButtons) {
    TrackerBench b("JL16");
    ProfileRecord p = b.profile();
    p.setText("Hello world");
    p.setTextLength(5);
    std::vector<std::uint8_t> path;
    encodePath("WIDE1-1,WIDE2-1", path);
    std::copy(path.begin(), path.end(), p.path());
    p.setPathLength(14);
    p.setSymbolTable('\\');
    p.setSymbolCode('W');
    p.setReportFlags(pl::kReportSmartBeaconing | pl::kReportAltitude);
    p.setAudioLevel(200);
    b.session.settings.setFlags(settings_layout::kFlagShowFreqButton);
    b.session.radio.bytes[radio_layout::kStatusButton] = 2;
    b.session.settings.setBuild(1234);
    b.start();
    EXPECT_EQ(b.form.text.text, "Hello");
    EXPECT_EQ(b.form.callsign.text, "W1AW");
    EXPECT_EQ(b.form.path.text, "WIDE1-1,WIDE2-1");
    EXPECT_EQ(kAprsSymbols[b.form.symbolList.selected].name, "NWS Site and Digi");
    EXPECT_TRUE(b.form.reportAltitude.checked);
    EXPECT_TRUE(b.form.smartBeaconing.checked);
    EXPECT_FALSE(b.form.beaconInterval.enabled);
    EXPECT_TRUE(b.form.smartBeaconingButton.enabled);
    EXPECT_EQ(b.form.audioLevel.position, 200);
    EXPECT_TRUE(b.form.freqButton.visible);
    EXPECT_TRUE(b.form.moreTextsButton.visible);
    EXPECT_EQ(b.form.buildLabel.text, "1234");

    // A pair no row carries keeps the selection; an empty path length shows
    // no path whatever the bytes hold.
    p.setSymbolTable('Q');
    p.setPathLength(0);
    b.show();
    EXPECT_EQ(kAprsSymbols[b.form.symbolList.selected].name, "NWS Site and Digi");
    EXPECT_EQ(b.form.symbolTable.text, "Q");
    EXPECT_EQ(b.form.path.text, "");
}

}  // namespace
}  // namespace varnel::test
