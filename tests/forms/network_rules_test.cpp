#include <gtest/gtest.h>

#include "forms/preview/network_rules.h"
#include "forms/tracker/tracker_config_edit.h"
#include "session/config_file.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

// The warnings of a JM128 file (it has the digipeater) after these
// assignments to profile 2, as "key value" with the rule's first words.
std::vector<std::string> warningsAfter(const std::vector<std::string>& assignments) {
    TempFile file("rules.cfg");
    Session s = trackerSession("JM128");
    RecordingUi ui;
    EXPECT_EQ(saveConfigFile(file.path.string(), s, ConfigFlavour::Tracker, ui), 0);
    if (!assignments.empty()) {
        EXPECT_EQ(setTrackerConfig({file.path.string(), 1, true}, assignments, ui), 0);
    }
    Session loaded;
    EXPECT_TRUE(loadConfigForKeys(file.path.string(), loaded, ui));
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
    std::vector<std::string> out;
    for (const NetworkWarning& w : checkNetworkRules(loaded)) {
        EXPECT_EQ(w.profile, 2) << w.key;
        EXPECT_FALSE(w.why.empty() || w.usual.empty()) << w.key;
        out.push_back(w.key + " " + w.value + ": " + w.why.substr(0, w.why.find(' ', w.why.find(' ') + 1)));
    }
    return out;
}

TEST(NetworkRules, EachRuleWarnsAndACleanFileGivesNone) {
    using V = std::vector<std::string>;
    const std::pair<V, V> rows[] = {
        {{}, {}},
        {{"path=WIDE1-1,WIDE2-2"}, {}},
        {{"path=WIDE1-1,WIDE2-1", "beaconInterval=60"}, {}},
        {{"callsign=N0CALL-9"}, {"callsign N0CALL-9: N0CALL is"}},
        {{"callsign=NOCALL"}, {"callsign NOCALL: NOCALL is"}},
        {{"callsign=MYCALL-7"}, {"callsign MYCALL-7: MYCALL is"}},
        {{"path=WIDE3-3"}, {"path WIDE3-3: WIDE3-3 asks"}},
        {{"path=WIDE1-1,WIDE3-3"}, {"path WIDE1-1,WIDE3-3: WIDE3-3 asks", "path WIDE1-1,WIDE3-3: the path"}},
        {{"path=WIDE2-2,WIDE2-2"}, {"path WIDE2-2,WIDE2-2: the path"}},
        {{"path=WIDE2-2,WIDE1-1"}, {"path WIDE2-2,WIDE1-1: WIDE1-1 is"}},
        {{"path=RELAY,WIDE2-2"}, {"path RELAY,WIDE2-2: RELAY is"}},
        {{"path=WIDE"}, {"path WIDE: WIDE is"}},
        {{"path=TRACE3-3"}, {"path TRACE3-3: TRACE3-3 is"}},
        {{"path=WIDE3-2"}, {"path WIDE3-2: WIDE3-2 leaves"}},
        {{"beaconInterval=30"}, {"beaconInterval 30: a position"}},
        // SmartBeaconing paces the tracker instead of the fixed interval.
        {{"beaconInterval=30", "smartBeaconing=1"}, {}},
        {{"digipeater.digipeating=1", "digipeater.alias1=WIDE2", "digipeater.enabled1=1"},
         {"digipeater.alias1 WIDE2: answering WIDE2-N"}},
        {{"digipeater.digipeating=1", "digipeater.alias1=WIDE1", "digipeater.enabled1=1"}, {}},
    };
    for (const auto& [assignments, expected] : rows) {
        std::string name;
        for (const auto& a : assignments) name += a + " ";
        EXPECT_EQ(warningsAfter(assignments), expected) << name;
    }
}

TEST(NetworkRules, TheLineNamesProfileSettingValueAndTheUsualChoice) {
    const NetworkWarning w{1, "path", "WIDE3-3", "WIDE3-3 asks for 3 hops.", "WIDE1-1,WIDE2-1"};
    EXPECT_EQ(warningLine(w), "profile 1 path WIDE3-3: WIDE3-3 asks for 3 hops. Usual choice: WIDE1-1,WIDE2-1.");
    EXPECT_EQ(warningLine({0, "callsign", "N0CALL-13", "N0CALL is a placeholder.", "yours"}),
              "callsign N0CALL-13: N0CALL is a placeholder. Usual choice: yours.");
}

}  // namespace
}  // namespace varnel::test
