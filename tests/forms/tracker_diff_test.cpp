#include <gtest/gtest.h>

#include <memory>

#include "config/weather_record.h"
#include "forms/tracker/tracker_config_diff.h"
#include "forms/tracker_fixture.h"

namespace varnel {
namespace {

std::vector<std::string> lines(Session& a, Session& b, bool metric = true) {
    std::vector<std::string> out;
    for (const auto& d : diffTrackerSettings(a, b, metric)) out.push_back(differenceLine(d));
    return out;
}

TEST(TrackerDiff, NamesEveryChangedKeyOnceByProfileAndTheScript) {
    auto a = std::make_unique<Session>(test::trackerSession("AP64"));
    auto b = std::make_unique<Session>(test::trackerSession("AP64"));
    EXPECT_TRUE(lines(*a, *b).empty());

    ProfileRecord(b->settings.profile(0), KindAP64).setBeaconInterval(300);
    AddressField call{};
    encodeAddress("N0CALL-7", call);
    call[6] |= 0x80;
    std::copy(call.begin(), call.end(), ProfileRecord(b->settings.profile(1), KindAP64).sourceAddress());
    b->script.bytes[3] = 0x81;
    b->currentProfile = 1;
    // The SmartBeaconing window's fast interval is the same stored field,
    // and its key is listed as show lists it.
    EXPECT_EQ(lines(*a, *b), (std::vector<std::string>{"profile 1 beaconInterval: 600 -> 300",
                                                       "profile 1 smartBeaconing.fastInterval: 600 -> 300",
                                                       "profile 2 callsign: W1AW -> N0CALL-7", "script: differs"}));
    EXPECT_EQ(b->currentProfile, 1);  // the sessions are left as they were
}

TEST(TrackerDiff, AnotherChipShowsTheDeviceAndTheKeysOnlyOneSideHas) {
    auto a = std::make_unique<Session>(test::trackerSession("AP64"));
    auto b = std::make_unique<Session>(test::trackerSession("KX8"));
    const auto out = lines(*a, *b);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], "deviceId: AP64 -> KX8");
    bool absent = false;
    for (const auto& l : out)
        absent |= l.find("-> (none)") != std::string::npos || l.find(": (none) ->") != std::string::npos;
    EXPECT_TRUE(absent) << testing::PrintToString(out);
    for (const auto& l : out) EXPECT_EQ(l.find("profile 2 deviceId"), std::string::npos) << l;
}

TEST(TrackerDiff, AWeatherStationsOneRecordIsComparedByItsOwnKeysOnce) {
    auto a = std::make_unique<Session>(test::trackerSession("AP64", kFamilyWeather));
    auto b = std::make_unique<Session>(test::trackerSession("AP64", kFamilyWeather));
    WeatherRecord(b->settings.profile(0)).setComment("Hilltop");
    EXPECT_EQ(lines(*a, *b), (std::vector<std::string>{"comment:  -> Hilltop"}));
}

}  // namespace
}  // namespace varnel
