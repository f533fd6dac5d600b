#include <gtest/gtest.h>

#include <set>

#include "config/profile_layout.h"
#include "forms/tracker/tracker_controls.h"
#include "forms/tracker/tracker_lists.h"
#include "forms/tracker/tracker_messages.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

namespace id = tracker_id;
namespace pl = profile_layout;

TEST(TrackerControls, BindingTableCoversEveryFormMemberOnce) {
    std::set<int> ids;
    std::set<std::string_view> names;
    std::set<const FormControl*> members;
    TrackerForm form;
    for (const auto& info : kTrackerControls) {
        EXPECT_TRUE(ids.insert(info.id).second) << info.id;
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_TRUE(members.insert(&(form.*(info.member))).second) << info.name;
        EXPECT_EQ(form.control(info.id), &(form.*(info.member)));
    }
    EXPECT_EQ(form.control(4242), nullptr);

    int tooltips = 0;
    for (const auto& info : kTrackerControls) tooltips += info.tooltip.empty() ? 0 : 1;
    EXPECT_EQ(tooltips, 60);
    EXPECT_EQ(findTrackerControl(id::kPortBSpeed)->tooltip, "Serial port B speed");
    EXPECT_EQ(findTrackerControl(id::kDigipeaterButton)->tooltip, "Dovric2 options");
    EXPECT_EQ(findTrackerControl(id::kCallsign)->typingLimit, 9);
    EXPECT_EQ(findTrackerControl(id::kPath)->typingLimit, 29);
}

TEST(TrackerLists, SymbolsAndModes) {
    ASSERT_EQ(kAprsSymbols.size(), 82u);
    EXPECT_EQ(kAprsSymbols[0].name, "Car");
    EXPECT_EQ(kAprsSymbols[11].code, '\'');
    EXPECT_EQ(kAprsSymbols[55].name, "Dish Antnena");
    EXPECT_EQ(kAprsSymbols[64].name, "Diamond");
    EXPECT_EQ(kAprsSymbols[65].table, '\\');
    EXPECT_EQ(kAprsSymbols[81].name, "Restrooms");

    auto texts = [](const std::vector<ListEntry>& rows) {
        std::string out;
        for (const auto& r : rows) out += r.text + "=" + std::to_string(r.data) + " ";
        return out;
    };
    EXPECT_EQ(texts(portModeEntries(KindAP64, false)), "Auto=0 Garmin=1 KISS=2 WS2300=3 Text=5 Davis=6 ");
    EXPECT_EQ(texts(portModeEntries(KindJM128, true)), "Auto=0 Garmin=1 KISS=2 WS2300=3 Flow=4 Text=5 Davis=6 ");
    EXPECT_EQ(texts(portModeEntries(KindJM60, false)), "Auto=0 KISS=2 WS2300=3 Text=5 Davis=6 ");
    EXPECT_EQ(texts(portModeEntries(KindJM60, true)), "Auto=0 KISS=2 WS2300=3 Flow=4 Text=5 Davis=6 ");
    EXPECT_TRUE(portModeEntries(KindJL16, false).empty());
}

// What each chip shows and enables at the start of the dialog.
TEST(TrackerStart, VisibilityByKind) {
    struct Case {
        const char* chip;
        bool connected;
        bool serial, waypoints, customEnabled, digipeater, usbKiss, diagnostics, activeLow, exportEntry;
    };
    for (const Case& c : {
             Case{"KX8", true, false, false, false, false, false, false, true, false},
             Case{"JL16", true, false, true, false, false, false, true, true, false},
             Case{"AW32", false, false, true, false, false, false, false, true, false},
             Case{"AP64", true, true, true, true, true, false, true, false, true},
             Case{"AP64", false, true, true, true, true, false, false, false, true},
             Case{"JM60", true, true, true, true, false, true, true, false, true},
             Case{"JM128", true, true, true, true, true, false, true, false, true},
         }) {
        TrackerBench b(c.chip);
        b.session.link.connected = c.connected;
        b.start();
        const TrackerForm& f = b.form;
        SCOPED_TRACE(std::string(c.chip) + (c.connected ? " connected" : " offline"));
        for (const FormControl* serial :
             {&f.serialGroup, &f.portASpeed, &f.portBSpeed, &f.portAMode, &f.portBMode, &f.autoBaud, &f.skipCount,
              &f.scriptButton, &f.accessListButton, &f.savePosition, &f.fahrenheit})
            EXPECT_EQ(serial->visible, c.serial);
        for (const FormControl* wp :
             {&f.waypointGroup, &f.waypoints, &f.waypointNameLength, &f.customSymbols, &f.rangeEnabled, &f.range})
            EXPECT_EQ(wp->visible, c.waypoints);
        EXPECT_EQ(f.customSymbols.enabled, c.customEnabled);
        EXPECT_EQ(f.rangeEnabled.enabled, c.customEnabled);
        EXPECT_EQ(f.digipeaterButton.visible, c.digipeater);
        EXPECT_EQ(f.usbKiss.visible, c.usbKiss);
        EXPECT_EQ(f.diagnosticsButton.enabled, c.diagnostics);
        EXPECT_EQ(f.powerActiveLow.visible, c.activeLow);
        EXPECT_EQ(f.exportEntry, c.exportEntry);
        EXPECT_TRUE(f.externalSquelch.visible);
        EXPECT_FALSE(f.ptb2Output.visible);
        EXPECT_EQ(f.firmwareFileButton.enabled, c.connected);
        EXPECT_EQ(f.writeButton.text, c.connected ? "Write" : "Connect");
        EXPECT_EQ(f.copyButton.text, "Copy from Profile 2");
        EXPECT_EQ(f.symbolList.entries.size(), 82u);
        EXPECT_EQ(f.latHemisphere.text, "N");
        EXPECT_EQ(f.lonHemisphere.text, "W");
    }
}

TEST(TrackerStart, UnitLabelsFollowTheSavedUnits) {
    TrackerBench b("AP64", kFamilyTracker, false);
    b.start();
    EXPECT_EQ(b.form.tempUnitLabel.text, "\xC2\xB0"
                                         "F");
    EXPECT_EQ(b.form.rangeUnitLabel.text, "Miles");
    EXPECT_TRUE(b.form.imperialRadio.checked);
    EXPECT_FALSE(b.form.metricRadio.checked);
}

TEST(TrackerCommands, TabChangeRefusedWhileAValueIsInvalid) {
    TrackerBench b("AP64");
    b.profile().setBeaconInterval(111);
    ProfileRecord(b.session.settings.profile(1), KindAP64).setBeaconInterval(222);
    b.start();
    b.form.quietTime.text = "999";
    EXPECT_FALSE(changeTrackerTab(b.form, b.session, b.ui, 1));
    EXPECT_EQ(b.ui.messages, std::vector<std::string>{"Quiet time must be in the range of 0 to 255"});
    EXPECT_EQ(b.session.currentProfile, 0);
    EXPECT_EQ(b.form.tabs.position, 0);
    EXPECT_EQ(b.form.quietTime.text, "999");

    b.form.quietTime.text = "9";
    EXPECT_TRUE(changeTrackerTab(b.form, b.session, b.ui, 1));
    EXPECT_EQ(b.session.currentProfile, 1);
    EXPECT_EQ(b.form.tabs.position, 1);
    EXPECT_EQ(b.form.beaconInterval.text, "222");
    EXPECT_EQ(b.form.copyButton.text, "Copy from Profile 1");
    EXPECT_EQ(ProfileRecord(b.session.settings.profile(0), KindAP64).quietTime(), 9);
}

TEST(TrackerCommands, UnitSwitch) {
    TrackerBench b("AP64");
    b.profile().setTempOffset(-5);
    b.start();
    b.form.timeslot.text = "4000";
    EXPECT_FALSE(changeTrackerUnits(b.form, b.session, b.ui, false));
    EXPECT_EQ(b.ui.messages.back(), "Timeslot must be in the range of 0 to 3600");
    EXPECT_TRUE(b.session.metric);
    EXPECT_EQ(b.form.tempUnitLabel.text, "\xC2\xB0"
                                         "C");
    EXPECT_TRUE(b.form.metricRadio.checked);
    EXPECT_EQ(b.form.tempCalibration.text, "-5");

    b.form.timeslot.text = "40";
    EXPECT_TRUE(changeTrackerUnits(b.form, b.session, b.ui, false));
    EXPECT_FALSE(b.session.metric);
    EXPECT_EQ(b.form.tempCalibration.text, "-9");
    EXPECT_EQ(b.form.rangeUnitLabel.text, "Miles");
    EXPECT_TRUE(b.form.imperialRadio.checked);
}

TEST(TrackerCommands, CopyOtherProfileDropsUnsavedEdits) {
    TrackerBench b("JM128");
    ProfileRecord(b.session.settings.profile(1), KindJM128).setText("other");
    b.start();
    b.form.text.text = "unsaved";
    copyOtherProfile(b.form, b.session);
    EXPECT_EQ(b.form.text.text, "other");
    EXPECT_TRUE(
        std::equal(b.session.settings.profile(0), b.session.settings.profile(0) + 191, b.session.settings.profile(1)));
}

TEST(TrackerCommands, EnablingRulesAndLiveLabels) {
    TrackerBench b("AP64");
    b.start();
    TrackerForm& f = b.form;

    f.smartBeaconing.checked = true;
    trackerControlChanged(f, id::kSmartBeaconing);
    EXPECT_TRUE(f.smartBeaconingButton.enabled);
    EXPECT_FALSE(f.beaconInterval.enabled);

    f.fixedRadio.checked = true;
    trackerControlChanged(f, id::kFixedRadio);
    EXPECT_FALSE(f.gpsRadio.checked);
    for (const FormControl* c :
         {&f.latHemisphere, &f.latDegrees, &f.latMinutes, &f.lonHemisphere, &f.lonDegrees, &f.lonMinutes})
        EXPECT_TRUE(c->enabled);

    trackerControlChanged(f, id::kLatHemisphere);
    trackerControlChanged(f, id::kLonHemisphere);
    EXPECT_EQ(f.latHemisphere.text, "S");
    EXPECT_TRUE(f.south);
    EXPECT_EQ(f.lonHemisphere.text, "E");
    EXPECT_FALSE(f.west);

    f.statusRadio.checked = true;
    trackerControlChanged(f, id::kStatusRadio);
    EXPECT_TRUE(f.statusEvery.enabled);
    EXPECT_FALSE(f.commentRadio.checked);

    f.telemetry.checked = true;
    trackerControlChanged(f, id::kTelemetry);
    EXPECT_TRUE(f.telemetryEvery.enabled);
    f.rangeEnabled.checked = true;
    trackerControlChanged(f, id::kRangeEnabled);
    EXPECT_TRUE(f.range.enabled);

    f.symbolList.selected = 67;  // Church
    trackerControlChanged(f, id::kSymbolList);
    EXPECT_EQ(f.symbolTable.text, "\\");
    EXPECT_EQ(f.symbolCode.text, "+");

    for (auto [typed, label] : {std::pair{"16", "x 31.25 = 500.00 Hz"}, std::pair{"300", "x 31.25 = 7968.75 Hz"},
                                std::pair{"-1", "x 31.25 = 7968.75 Hz"}, std::pair{"x", "x 31.25 = 0.00 Hz"}}) {
        f.carrierMultiplier.text = typed;
        trackerControlChanged(f, id::kCarrierMultiplier);
        EXPECT_EQ(f.carrierHzLabel.text, label) << typed;
    }
}

}  // namespace
}  // namespace varnel::test
