#include <gtest/gtest.h>

#include <memory>

#include "config/settings_record.h"
#include "config/weather_record.h"
#include "forms/preview/write_preview.h"
#include "forms/tracker_fixture.h"

namespace varnel {
namespace {

std::vector<std::string> linesOf(Session& current, Session& planned) {
    const auto kept = planned.snapshot();
    auto lines = previewLines(previewWrite(current, planned));
    EXPECT_TRUE(planned.snapshot() == kept);  // the sessions are left as they were
    return lines;
}

TEST(WritePreview, GroupsByProfileWindowAndWhatBothShare) {
    auto now = std::make_unique<Session>(test::trackerSession("JM128"));
    auto next = std::make_unique<Session>(test::trackerSession("JM128"));
    EXPECT_EQ(linesOf(*now, *next), std::vector<std::string>{kNothingDiffers});

    ProfileRecord(next->settings.profile(1), KindJM128).setBeaconInterval(300);
    AddressField alias{};
    encodeAddress("WIDE1", alias);
    std::copy(alias.begin(), alias.begin() + 6, &next->settings.bytes[settings_layout::kDigipeaterAliases]);
    next->script.bytes[3] = 0x81;
    // Bytes no window shows still differ, and are named.
    next->settings.bytes[settings_layout::kReserved + 2] = 0x55;
    next->settings.bytes[settings_layout::kReserved + 3] = 0x55;
    EXPECT_EQ(linesOf(*now, *next),
              (std::vector<std::string>{"Profiles 1 and 2: Digipeater", "  alias1:  -> WIDE1", "Profile 2",
                                        "  beaconInterval: 600 -> 300", "Profile 2: SmartBeaconing",
                                        "  fastInterval: 600 -> 300", "Script", "  the program differs",
                                        "Stored bytes no window shows", "  settings bytes 489 to 490: differ"}));
}

TEST(WritePreview, WarnsOfWhatWillBeWrittenAndNamesAWeatherStationsRecord) {
    auto now = std::make_unique<Session>(test::trackerSession("AP64", kFamilyWeather));
    auto next = std::make_unique<Session>(test::trackerSession("AP64", kFamilyWeather));
    WeatherRecord r(next->settings.profile(0));
    AddressField call{};
    encodeAddress("N0CALL-13", call);
    std::copy(call.begin(), call.end(), r.sourceAddress());
    const auto lines = linesOf(*now, *next);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Weather station");
    EXPECT_EQ(lines[1], "  callsign: W1AW -> N0CALL-13");
    EXPECT_EQ(lines[2], "Warnings");
    EXPECT_EQ(lines[3].substr(0, 30), "  callsign N0CALL-13: N0CALL i");
}

}  // namespace
}  // namespace varnel
