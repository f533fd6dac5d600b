#include <gtest/gtest.h>

#include "config/units.h"

namespace varnel {
namespace {

TEST(NearestInt, HalvesGoDownAboveHalfGoesUp) {
    struct Row {
        double in;
        int out;
    };
    const Row rows[] = {
        {2.5, 2},
        {2.51, 3},
        {2.49, 2},
        {3.5, 3},
        {0.5, 0},
        {0.0, 0},
        {321.8, 322},
        {-2.5, -2},
        {-2.51, -3},
        {-0.4, 0},
        {0.1 * 3 * 5, 1},  // 1.5000000000000002 is a half, not above one
        {2.0000000000000004, 2},
    };
    for (const auto& r : rows) EXPECT_EQ(nearestInt(r.in), r.out) << r.in;
}

TEST(NearestInt, ExactRatiosRoundTheSameWay) {
    EXPECT_EQ(nearestRatio(5, 2), 2);
    EXPECT_EQ(nearestRatio(251, 100), 3);
    EXPECT_EQ(nearestRatio(-5, 2), -2);
    EXPECT_EQ(nearestRatio(-251, 100), -3);
}

TEST(TruncInt, TowardZeroWithoutRoundingErrorsLosingAUnit) {
    EXPECT_EQ(truncInt(4.35 * 100), 435);  // 434.99999999999994 in binary
    EXPECT_EQ(truncInt(-1.9), -1);
    EXPECT_EQ(truncInt(169.944), 169);
}

TEST(Units, TransmitDelayInSteps) {
    EXPECT_EQ(txDelayToMs(255), 1683);
    EXPECT_EQ(txDelayToMs(100), 660);
    EXPECT_EQ(txDelayToMs(1), 6);
    EXPECT_EQ(txDelayFromMs(1683), 255);
    EXPECT_EQ(txDelayFromMs(10), 1);
    EXPECT_EQ(txDelayFromMs(6), 0);
    EXPECT_EQ(txDelayFromMs(66), 10);
    // Steps that are a multiple of 5 show as whole milliseconds and survive
    // a show/store cycle; the others come back one step lower (1 -> 6 ms -> 0).
    for (int raw = 0; raw <= 255; ++raw) {
        const int back = txDelayFromMs(txDelayToMs(static_cast<std::uint8_t>(raw)));
        ASSERT_EQ(back, raw % 5 == 0 ? raw : raw - 1) << raw;
    }
}

TEST(Units, SpeedsInDeviceUnits) {
    EXPECT_EQ(speedToDisplay(100, true), 115);
    EXPECT_EQ(speedToDisplay(100, false), 71);
    EXPECT_EQ(speedFromDisplay(115, true), 100);   // 99.83
    EXPECT_EQ(speedFromDisplay(71, false), 99);    // 99.19
    EXPECT_EQ(speedFromDisplay(293, true), 254);   // 254.34: the largest that fits below 255
    EXPECT_EQ(speedFromDisplay(294, true), 255);   // 255.21
    EXPECT_EQ(speedFromDisplay(500, false), 698);  // exactly 698.5 goes down
}

TEST(Units, LowVoltageByKind) {
    struct Row {
        TargetKind kind;
        double scale;
        const char* shown170;
    };
    const Row rows[] = {{KindKX8, 17.0, "10.00"},
                        {KindJL16, 13.783, "12.33"},
                        {KindAP64, 12.75, "13.33"},
                        {KindJM60, 12.75, "13.33"},
                        {KindJM128, 12.75, "13.33"}};
    for (const auto& r : rows) {
        EXPECT_DOUBLE_EQ(lowVoltageScale(r.kind), r.scale);
        EXPECT_EQ(formatLowVoltage(170, lowVoltageScale(r.kind)), r.shown170);
    }
    EXPECT_EQ(lowVoltageToRaw(10.0, 17.0), 170);
    EXPECT_EQ(lowVoltageToRaw(12.33, 13.783), 169);  // 169.94, truncated
    EXPECT_EQ(lowVoltageToRaw(15.0, 17.0), 255);
    EXPECT_EQ(lowVoltageToRaw(15.06, 17.0), 256);  // not squeezed into the byte here
    EXPECT_EQ(lowVoltageToRaw(0.0, 12.75), 0);
}

TEST(Units, WaypointRangeInMiles) {
    EXPECT_EQ(rangeToDisplay(200, true), 322);  // 321.8
    EXPECT_EQ(rangeToDisplay(255, true), 410);  // 410.295
    EXPECT_EQ(rangeToDisplay(200, false), 200);
    EXPECT_EQ(rangeFromDisplay(410, true), 255);
    EXPECT_EQ(rangeFromDisplay(322, true), 200);  // 200.12
    EXPECT_EQ(rangeFromDisplay(1, true), 1);      // 0.62
    EXPECT_EQ(rangeFromDisplay(200, false), 200);
}

TEST(Units, TemperatureOffsetIsADifference) {
    EXPECT_EQ(tempOffsetToDisplay(-5, true), -5);
    EXPECT_EQ(tempOffsetToDisplay(-5, false), -9);
    EXPECT_EQ(tempOffsetToDisplay(7, false), 12);  // 12.6 truncated
    EXPECT_EQ(tempOffsetToDisplay(-128, false), -230);
    EXPECT_EQ(tempOffsetFromDisplay(-9, false), -5);
    EXPECT_EQ(tempOffsetFromDisplay(230, false), 128);  // out of range for the byte: the caller refuses it
    EXPECT_EQ(tempOffsetFromDisplay(13, false), 7);     // 7.22
    EXPECT_EQ(tempOffsetFromDisplay(-13, false), -7);
    EXPECT_EQ(tempOffsetFromDisplay(-100, true), -100);
}

TEST(Units, CarrierOfTextTrackers) {
    EXPECT_DOUBLE_EQ(carrierFrequencyHz(16), 500.0);
    EXPECT_EQ(carrierWordFor(16), 1137);  // 1137.78
    EXPECT_EQ(carrierWordFor(255), 18133);
    EXPECT_EQ(carrierWordFor(0), 0);
}

}  // namespace
}  // namespace varnel
