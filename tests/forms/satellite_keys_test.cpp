#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "config/units.h"
#include "forms/tracker/tracker_config_edit.h"
#include "session/config_file.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

namespace fs = std::filesystem;

// A tracker file whose firmware offers the frequency and status-text
// windows wherever the chip can have them.
void saveTracker(const TempFile& file, const std::string& chip) {
    Session s = trackerSession(chip);
    s.settings.setFlags(settings_layout::kFlagShowFreqButton);
    s.radio.bytes[radio_layout::kStatusButton] = 2;
    RecordingUi ui;
    ASSERT_EQ(saveConfigFile(file.path.string(), s, ConfigFlavour::Tracker, ui), 0);
}

std::map<std::string, std::string> windowKeys(const TempFile& file, int profile, bool metric = true) {
    RecordingUi ui;
    std::ostringstream out;
    EXPECT_EQ(showTrackerConfig({file.path.string(), profile, metric}, false, out, ui), 0);
    std::map<std::string, std::string> values;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (line.substr(0, eq).find('.') != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

// A new value for a key, in the words show prints it back with.
std::string newValue(const std::string& key, int n, double voltageScale) {
    const std::string field = key.substr(key.find('.') + 1);
    if (field == "voltage") return formatLowVoltage(150, voltageScale);
    const auto is = [&](const char* prefix) { return field.rfind(prefix, 0) == 0; };
    if (field.find("Compare") != std::string::npos) return "<=";
    if (field.find("Enabled") != std::string::npos || is("enabled") || is("preempt") || is("insertCallsign") ||
        field == "digipeating" || field == "transmitOnSwitch")
        return "1";
    if (is("channel")) return "14" + std::to_string(n % 10) + ".39000";
    if (is("text")) return "Status " + std::to_string(n);
    if (is("call")) return "K" + std::to_string(n) + "ABC";
    if (is("alias")) return "WIDE" + std::to_string(n % 10);
    if (is("hops")) return std::to_string(n % 8 + 1);
    static const std::map<std::string, std::string> fixed{
        {"lowSpeed", "3"},       {"highSpeed", "8"},     {"slowInterval", "1800"}, {"fastInterval", "60"},
        {"turnAngle", "28"},     {"turnInterval", "15"}, {"primary", "Selector"},  {"secondary", "3"},
        {"secondaryEvery", "4"}, {"dupeTime", "30"},     {"conditions", "all"},    {"altitude", "1000"},
        {"speed", "90"},         {"temperature", "35"},  {"adc", "128"},           {"jumper", "on"},
        {"gpsFix", "valid"},     {"receiveGain", "16x"},
    };
    return fixed.at(field);
}

// An erased status text (0xFF bytes) is shown escaped, not as raw bytes a
// terminal turns into replacement characters, and what show prints set
// takes back byte for byte; a lone backslash stays a backslash.
TEST(SatelliteKeys, BytesThatAreNotTextAreShownEscapedAndTakenBack) {
    TempFile file("escaped.cfg");
    Session s = trackerSession("JL16");
    s.settings.setFlags(settings_layout::kFlagShowFreqButton);
    s.radio.bytes[radio_layout::kStatusButton] = 2;
    std::fill_n(&s.radio.bytes[radio_layout::kStatusTexts], radio_layout::kStatusTextSize, 0xFF);
    RecordingUi ui;
    ASSERT_EQ(saveConfigFile(file.path.string(), s, ConfigFlavour::Tracker, ui), 0);
    const auto radioBytes = [&] {
        Session loaded;
        EXPECT_EQ(loadConfigFileOffline(file.path.string(), loaded, ui), 0);
        return loaded.radio.bytes;
    };
    const auto original = radioBytes();

    const std::string shown = windowKeys(file, 0).at("statusTexts.text1");
    std::string erased;
    for (std::size_t i = 0; i < radio_layout::kStatusTextSize; ++i) erased += "\\xff";
    EXPECT_EQ(shown, erased);
    ASSERT_EQ(setTrackerConfig({file.path.string(), 0, true}, {"statusTexts.text1=" + shown}, ui), 0);
    EXPECT_EQ(radioBytes(), original);

    ASSERT_EQ(setTrackerConfig({file.path.string(), 0, true}, {"statusTexts.text2=A\\x01\\x41\\"}, ui), 0);
    EXPECT_EQ(windowKeys(file, 0).at("statusTexts.text2"), "A\\x01\\x41\\");
    const auto after = radioBytes();
    const std::uint8_t* text2 = &after[radio_layout::kStatusTexts + radio_layout::kStatusTextSize];
    EXPECT_EQ(std::string(text2, text2 + 7), std::string("A\x01\\x41\\\0", 7));
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
}

TEST(SatelliteKeys, EveryKeyRoundTripsOnEveryKindThatOffersIt) {
    struct Row {
        const char* chip;
        std::set<std::string> windows;
        bool channels;
    };
    const Row rows[] = {
        {"KX8", {"smartBeaconing", "frequencies", "profileSwitch"}, false},
        {"AP64", {"smartBeaconing", "frequencies", "accessList", "digipeater", "profileSwitch", "script"}, false},
        {"JL16", {"smartBeaconing", "frequencies", "statusTexts", "profileSwitch"}, true},
        {"JM60", {"smartBeaconing", "frequencies", "accessList", "profileSwitch", "diagnostics", "script"}, false},
        {"JM128", {"smartBeaconing", "frequencies", "accessList", "digipeater", "profileSwitch", "script"}, false},
    };
    for (const Row& r : rows)
        for (int profile = 0; profile < 2; ++profile) {
            SCOPED_TRACE(std::string(r.chip) + " profile " + std::to_string(profile + 1));
            TempFile file(std::string(r.chip) + ".cfg");
            saveTracker(file, r.chip);
            const auto size = fs::file_size(file.path);
            const auto before = windowKeys(file, profile);
            std::set<std::string> windows;
            std::vector<std::string> assignments;
            int n = 0;
            for (const auto& [key, value] : before) {
                windows.insert(key.substr(0, key.find('.')));
                assignments.push_back(key + "=" + newValue(key, ++n, lowVoltageScale(findTarget(r.chip)->kind)));
            }
            EXPECT_EQ(windows, r.windows);
            // Listed for every file, and for this one's chip.
            std::ostringstream listing, own;
            listConfigKeys(listing);
            RecordingUi listUi;
            ASSERT_EQ(listConfigKeysOf(file.path.string(), own, listUi), 0);
            for (const auto& [key, value] : before) {
                EXPECT_NE(listing.str().find("\n" + key + "  "), std::string::npos) << key << " is not listed";
                EXPECT_NE(own.str().find("\n" + key + "  "), std::string::npos) << key << " is not listed";
            }
            // Not every chip offers every window: its own listing is shorter.
            const std::string all = listing.str(), mine = own.str();
            EXPECT_LT(std::count(mine.begin(), mine.end(), '\n'), std::count(all.begin(), all.end(), '\n'));
            EXPECT_EQ(before.count("frequencies.channel1"), r.channels ? 1u : 0u);

            RecordingUi ui;
            ASSERT_EQ(setTrackerConfig({file.path.string(), profile, true}, assignments, ui), 0)
                << (ui.messages.empty() ? "" : ui.messages.front());
            EXPECT_EQ(fs::file_size(file.path), size);
            const auto after = windowKeys(file, profile);
            for (const std::string& a : assignments) {
                const auto eq = a.find('=');
                EXPECT_EQ(after.at(a.substr(0, eq)), a.substr(eq + 1)) << a;
            }
            // The other profile's own settings stay; the shared tables follow.
            const auto other = windowKeys(file, 1 - profile);
            EXPECT_EQ(other.at("smartBeaconing.turnAngle"), before.at("smartBeaconing.turnAngle"));
            EXPECT_EQ(other.at("profileSwitch.adc"), before.at("profileSwitch.adc"));
            if (r.channels) {
                EXPECT_EQ(other.at("frequencies.channel1"), after.at("frequencies.channel1"));
            }
        }
}

TEST(SatelliteKeys, RefusalsLeaveTheFileUntouched) {
    TempFile kx8("kx8.cfg"), jm("jm.cfg");
    saveTracker(kx8, "KX8");
    saveTracker(jm, "JM128");
    struct Case {
        const TempFile& file;
        std::vector<std::string> assignments;
        std::string message;
    };
    const Case cases[] = {
        {kx8, {"digipeater.alias1=WIDE1"}, "digipeater.alias1 is not available on this device"},
        {kx8, {"accessList.call1=W1AW"}, "accessList.call1 is not available on this device"},
        {jm, {"frequencies.channel1=145.5"}, "frequencies.channel1 is not available on this device"},
        {jm, {"statusTexts.text1=hi"}, "statusTexts.text1 is not available on this device"},
        {jm, {"digipeater.alias9=X"}, "Unknown key: digipeater.alias9"},
        {jm, {"digipeater.hops1=12"}, "digipeater.hops1: at most 1 characters"},
        {jm, {"digipeater.alias2=WI/DE"}, "Invalid alias \"WI/DE\": a callsign takes letters and digits only."},
        {jm, {"digipeater.alias2=W-2x"}, "Invalid alias \"W-2x\": only the SSID number may follow the '-'."},
        {jm, {"digipeater.dupeTime=300"}, "Duplicate check time must be in the range of 0 to 255"},
        {jm, {"frequencies.primary=9"}, "frequencies.primary: expected one of 1, 2, 3, 4, 5, 6, 7, 8, Selector"},
        {jm, {"profileSwitch.altitudeCompare=<"}, "profileSwitch.altitudeCompare: expected > or <="},
        {jm, {"profileSwitch.speed=300"}, "Speed comparison out of range"},
        {jm,
         {"smartBeaconing.lowSpeed=90", "smartBeaconing.highSpeed=50"},
         "Low speed threshold must be less than high speed threshold"},
    };
    for (const Case& c : cases) {
        const std::string original = c.file.bytes();
        RecordingUi ui;
        EXPECT_EQ(setTrackerConfig({c.file.path.string(), 0, true}, c.assignments, ui), -1) << c.message;
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(c.file.bytes() == original) << c.message;
    }
}

TEST(SatelliteKeys, JsonNestsByWindow) {
    TempFile file("json.cfg");
    saveTracker(file, "JL16");
    RecordingUi ui;
    std::ostringstream out;
    ASSERT_EQ(showTrackerConfig({file.path.string(), 0, true}, true, out, ui), 0);
    const std::string json = out.str();
    EXPECT_NE(json.find(",\"smartBeaconing\":{\"enabled\":\"0\",\"lowSpeed\":\"0\","), std::string::npos) << json;
    EXPECT_NE(json.find(",\"statusTexts\":{\"text1\":\"\",\"text2\":\"\",\"text3\":\"\"},"), std::string::npos);
    EXPECT_EQ(json.find("\"smartBeaconing.lowSpeed\""), std::string::npos);
}

}  // namespace
}  // namespace varnel::test
