#include <gtest/gtest.h>

#include "config/device_target.h"

namespace varnel {
namespace {

TEST(SelectTarget, MatchesEveryChipOfTheTable) {
    struct Row {
        const char* chip;
        TargetKind kind;
        std::uint32_t settings, size, script, features;
        double scale;
    };
    const Row rows[] = {
        {"KX8", KindKX8, 0xFB80, 255, 0, 0x00, 17.0},
        {"AP64", KindAP64, 0xF400, 512, 0xF600, 0x1C, 12.75},
        {"AW60", KindAP64, 0xF800, 512, 0x0870, 0x1C, 12.75},
        {"JL16", KindJL16, 0xF880, 576, 0, 0x14, 13.783},
        {"AW32", KindJL16, 0xF880, 576, 0, 0x14, 13.783},
        {"JM60", KindJM60, 0xF800, 512, 0x10B0, 0x3E, 12.75},
        {"JM128", KindJM128, 0x1F000, 512, 0x1F400, 0x3F, 12.75},
    };
    for (const auto& r : rows) {
        DeviceTarget t;
        selectTarget(t, r.chip);
        EXPECT_EQ(t.kind, r.kind) << r.chip;
        EXPECT_EQ(t.settingsAddress, r.settings) << r.chip;
        EXPECT_EQ(t.settingsSize, r.size) << r.chip;
        EXPECT_EQ(t.scriptAddress, r.script) << r.chip;
        EXPECT_EQ(t.featureMask, r.features) << r.chip;
        EXPECT_DOUBLE_EQ(t.voltageScale, r.scale) << r.chip;
    }
}

TEST(SelectTarget, UnknownNameKeepsPreviousKindButDropsScript) {
    DeviceTarget t;
    selectTarget(t, "AP64");
    selectTarget(t, "ap64");  // the match is case-sensitive
    EXPECT_EQ(t.kind, KindAP64);
    EXPECT_EQ(t.settingsAddress, 0xF400u);
    EXPECT_EQ(t.settingsSize, 512u);
    EXPECT_EQ(t.scriptAddress, 0u);
    EXPECT_FALSE(t.hasScript());
}

}  // namespace
}  // namespace varnel
