#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "config/profile_record.h"
#include "config/settings_record.h"

namespace varnel {
namespace {

using Slot = std::array<std::uint8_t, profile_layout::kSize>;

// Each setter must land its bytes, big-endian, at the offset the firmware
// reads, and touch nothing else in the slot.
TEST(ProfileRecordLayout, SettersWriteTheirOffsetsOnly) {
    struct Row {
        const char* field;
        std::function<void(const ProfileRecord&)> set;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    };
    const Row rows[] = {
        {"txDelay", [](auto& r) { r.setTxDelay(0x9A); }, 0, {0x9A}},
        {"beaconInterval", [](auto& r) { r.setBeaconInterval(0x1234); }, 1, {0x12, 0x34}},
        {"reportFlags", [](auto& r) { r.setReportFlags(0x81); }, 3, {0x81}},
        {"optionFlags", [](auto& r) { r.setOptionFlags(0x10); }, 4, {0x10}},
        {"pathLength", [](auto& r) { r.setPathLength(14); }, 12, {14}},
        {"textHeader",
         [](auto& r) { r.setTextHeader("N0CALL>APRS:"); },
         13,
         {'N', '0', 'C', 'A', 'L', 'L', '>', 'A', 'P', 'R', 'S', ':', 0}},
        {"carrierWord", [](auto& r) { r.setCarrierWord(0x0471); }, 30, {0x04, 0x71}},
        {"carrierMultiplier", [](auto& r) { r.setCarrierMultiplier(16); }, 32, {16}},
        {"symbol",
         [](auto& r) {
             r.setSymbolTable('/');
             r.setSymbolCode('>');
         },
         34,
         {'/', '>'}},
        {"slowInterval", [](auto& r) { r.setSlowInterval(0xABCD); }, 36, {0xAB, 0xCD}},
        {"timeslot", [](auto& r) { r.setTimeslotWord(0x8E10); }, 38, {0x8E, 0x10}},
        {"speeds",
         [](auto& r) {
             r.setLowSpeed(5);
             r.setHighSpeed(100);
         },
         40,
         {5, 100}},
        {"audio/turn",
         [](auto& r) {
             r.setAudioLevel(1);
             r.setTurnAngle(2);
             r.setTurnInterval(3);
         },
         42,
         {1, 2, 3}},
        {"tempOffset", [](auto& r) { r.setTempOffset(-5); }, 45, {0xFB}},
        {"textLength", [](auto& r) { r.setTextLength(7); }, 46, {7}},
        {"switching",
         [](auto& r) {
             r.setSwitchSpeed(1);
             r.setSwitchAltitude(0x0203);
             r.setSwitchAdc(4);
             r.setSwitchVoltage(5);
             r.setSwitchTemperature(6);
             r.setSwitchEnable(7);
             r.setSwitchCompare(8);
         },
         47,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"delays/io",
         [](auto& r) {
             r.setPowerOnDelay(9);
             r.setEveryCounts(0x35);
             r.setIoFlags(0x44);
             r.setCounterRearm(10);
             r.setQuietTime(11);
             r.setLowVoltage(170);
         },
         55,
         {9, 0x35, 0x44, 10, 11, 170}},
        {"text", [](auto& r) { r.setText("Hi"); }, 46, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'H', 'i', 0}},
        {"digipeating",
         [](auto& r) {
             r.setDigiAliasBits(0x81);
             r.setFeatureFlags(0xC3);
             r.setDigiDupeTime(30);
         },
         125,
         {0x81, 0xC3, 30}},
        {"miscFlags", [](auto& r) { r.setMiscFlags(0x33); }, 130, {0x33}},
        {"ports",
         [](auto& r) {
             r.setPortASpeed(0x12);
             r.setPortBSpeed(0x14);
             r.setWaypointRange(200);
             r.setPortAMode(2);
             r.setPortBMode(4);
             r.setBaud300(1);
         },
         149,
         {0x12, 0x14, 200, 2, 4, 1}},
        {"tail",
         [](auto& r) {
             r.setSkipCount(3);
             r.setChannelSelect(0x81);
             r.setChannelEvery(4);
             r.setSlotFlags(0xC0);
             r.setRadioFlags(0x81);
         },
         156,
         {3, 0x81, 4, 0xC0, 0x81}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.field);
        Slot slot{};
        row.set(ProfileRecord(slot.data(), KindAP64));
        Slot expected{};
        for (std::size_t i = 0; i < row.bytes.size(); ++i) expected[row.offset + i] = row.bytes[i];
        EXPECT_EQ(slot, expected);
    }
}

TEST(ProfileRecordLayout, FixedPositionMovesWithTheKind) {
    struct Row {
        TargetKind kind;
        std::size_t lat, lon;
    };
    for (const Row r : {Row{KindKX8, 108, 116}, Row{KindJL16, 132, 140}, Row{KindJM128, 132, 140}}) {
        Slot slot{};
        ProfileRecord p(slot.data(), r.kind);
        p.setFixedLatitude("4736.25N");
        p.setFixedLongitude("12219.50W");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(&slot[r.lat]), 8), "4736.25N");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(&slot[r.lon]), 9), "12219.50W");
        EXPECT_EQ(slot[r.lon + 9], 0);  // no terminator written
        const ConstProfileRecord view(slot.data(), r.kind);
        EXPECT_EQ(view.fixedLatitude(), "4736.25N");
        EXPECT_FALSE(view.fixedSouth());
        EXPECT_TRUE(view.fixedWest());
    }
    // Anything but 'N' counts as south.
    Slot slot{};
    slot[132 + 7] = 'x';
    EXPECT_TRUE(ConstProfileRecord(slot.data(), KindAP64).fixedSouth());
}

TEST(ProfileRecordLayout, TimeslotWordAndThe300BaudChoice) {
    Slot slot{};
    slot[38] = 0x8E;
    slot[39] = 0x10;
    EXPECT_EQ(ConstProfileRecord(slot.data(), KindKX8).radioModem300Baud(), true);
    EXPECT_EQ(ConstProfileRecord(slot.data(), KindKX8).timeslotSeconds(), 3600);
    EXPECT_EQ(ConstProfileRecord(slot.data(), KindAP64).timeslotSeconds(), 3600);

    struct Row {
        std::uint8_t baud300;
        std::optional<bool> expected;
    };
    for (const Row r : {Row{0, false}, Row{1, true}, Row{7, std::nullopt}}) {
        slot[154] = r.baud300;
        EXPECT_EQ(ConstProfileRecord(slot.data(), KindJL16).radioModem300Baud(), r.expected) << int(r.baud300);
    }

    ProfileRecord(slot.data(), KindKX8).setTimeslot(1800, true);
    EXPECT_EQ(getU16BE(&slot[38]), 0x8000 | 1800);
    ProfileRecord(slot.data(), KindAP64).setTimeslot(1800, true);
    EXPECT_EQ(getU16BE(&slot[38]), 1800);
}

TEST(ProfileRecordLayout, NibblesBitsAndSignedBytes) {
    Slot slot{};
    ProfileRecord p(slot.data(), KindAP64);
    p.setEveryCounts(0x35);
    EXPECT_EQ(p.telemetryEvery(), 3);
    EXPECT_EQ(p.statusEvery(), 5);
    p.setStatusEvery(0);
    p.setTelemetryEvery(15);
    EXPECT_EQ(p.everyCounts(), 0xF0);

    p.setFeatureFlags(0xFF);
    p.setWaypointNameLengthIndex(1);
    EXPECT_EQ(p.featureFlags(), 0xFD);

    p.setFlag(profile_layout::kReportFlags, profile_layout::kReportAltitude, true);
    p.setFlag(profile_layout::kReportFlags, profile_layout::kReportCompressed, true);
    p.setFlag(profile_layout::kReportFlags, profile_layout::kReportCompressed, false);
    EXPECT_EQ(slot[3], 0x40);

    slot[45] = 0x80;
    EXPECT_EQ(p.tempOffset(), -128);
}

TEST(ProfileRecordLayout, IoBitZeroMeansDifferentThingsByKind) {
    Slot slot{};
    slot[57] = 0x01;
    for (TargetKind k : {KindKX8, KindJL16}) {
        EXPECT_EQ(ConstProfileRecord(slot.data(), k).powerControlActiveLow(), true);
        EXPECT_FALSE(ConstProfileRecord(slot.data(), k).customWaypointSymbols().has_value());
    }
    for (TargetKind k : {KindAP64, KindJM60, KindJM128}) {
        EXPECT_EQ(ConstProfileRecord(slot.data(), k).customWaypointSymbols(), true);
        EXPECT_FALSE(ConstProfileRecord(slot.data(), k).powerControlActiveLow().has_value());
    }
}

TEST(ProfileRecordLayout, TextStaysInsideItsField) {
    Slot slot{};
    slot.fill('x');
    ProfileRecord p(slot.data(), KindAP64);
    p.setTextLength(0xFF);  // erased flash
    EXPECT_EQ(p.text().size(), 61u);

    p.setText("OLD TEXT");
    p.setText("");  // an empty text leaves the old characters
    EXPECT_EQ(p.textLength(), 0);
    EXPECT_EQ(slot[61], 'O');

    p.setText(std::string(80, 'a'));
    EXPECT_EQ(p.textLength(), 61);
    EXPECT_EQ(slot[122], 0);
    EXPECT_EQ(slot[123], 'x');
}

TEST(ProfileRecordLayout, CopyingAProfileCopiesTheWholeSlot) {
    SettingsRecord record;
    for (std::size_t i = 0; i < 191; ++i) record.bytes[5 + i] = static_cast<std::uint8_t>(i + 1);
    ProfileRecord(record.profile(1), KindKX8).copyFrom(ConstProfileRecord(record.profile(0), KindKX8));
    for (std::size_t i = 0; i < 191; ++i) EXPECT_EQ(record.bytes[196 + i], i + 1) << i;
    EXPECT_EQ(record.bytes[387], 0);
}

TEST(SerialCodes, PortsUseDifferentCodesForTheSameSpeed) {
    struct Row {
        const char* speed;
        std::uint8_t a, b;
    };
    const Row rows[] = {{"1200", 0x15, 0x17}, {"9600", 0x12, 0x14}, {"57600", 0x01, 0x03}, {"115200", 0x00, 0x02}};
    for (const auto& r : rows) {
        const int rowA = speedRowForPortA(r.a);
        ASSERT_GE(rowA, 0) << r.speed;
        EXPECT_EQ(kSerialSpeedCodes[rowA].speed, r.speed);
        EXPECT_EQ(speedRowForPortB(r.b), rowA) << r.speed;
    }
    EXPECT_EQ(speedRowForPortA(0x17), -1);  // a port B code only
    EXPECT_EQ(speedRowForPortB(0x00), -1);
    EXPECT_EQ(serialModeName(4), "Flow");
    EXPECT_EQ(serialModeName(6), "Davis");
    EXPECT_TRUE(serialModeName(7).empty());
}

}  // namespace
}  // namespace varnel
