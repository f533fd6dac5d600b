#include <gtest/gtest.h>

#include <cstdint>

#include "config/settings_packing.h"
#include "session/session.h"

namespace varnel {
namespace {

// Each image byte carries a value derived from its address, so a copy from
// the wrong place shows up as a wrong value.
std::uint8_t patternAt(std::uint32_t address) { return static_cast<std::uint8_t>(address * 7 + (address >> 8)); }

struct Packing : ::testing::Test {
    Session s;
    WorkingRecords records() { return {s.settings, s.radio, s.script}; }
    void fillImageWithPattern() {
        for (std::uint32_t a = 0; a < kFlashSize; ++a) s.image.bytes[a] = patternAt(a);
    }
    void fillRecords(std::uint8_t v) {
        s.settings.bytes.fill(v);
        s.radio.bytes.fill(v);
        s.script.bytes.fill(v);
    }
    std::size_t touchedCount() const {
        std::size_t n = 0;
        for (auto t : s.image.touched) n += t != kUntouched;
        return n;
    }
};

TEST_F(Packing, SmallChipsUnpackShortProfilesAndLeaveTheSlotTailsAlone) {
    struct Row {
        const char* chip;
        std::uint32_t settings;
        std::size_t profileBytes;
        std::uint32_t profile2;
    };
    const Row rows[] = {{"KX8", 0xFB80, 125, 130}, {"JL16", 0xF880, 189, 194}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.chip);
        fillImageWithPattern();
        // A whole-record chip first, as after reconnecting to another tracker.
        selectTarget(s.target, "AP64");
        unpackSettings(s.image, s.target, records());
        fillRecords(0xAA);
        selectTarget(s.target, r.chip);
        unpackSettings(s.image, s.target, records());

        for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(s.settings.bytes[i], patternAt(r.settings + i));
        for (std::size_t i = 0; i < 191; ++i) {
            const bool stored = i < r.profileBytes;
            EXPECT_EQ(s.settings.bytes[5 + i], stored ? patternAt(r.settings + 5 + i) : 0xAA) << "profile 1 byte " << i;
            EXPECT_EQ(s.settings.bytes[196 + i], stored ? patternAt(r.settings + r.profile2 + i) : 0xAA)
                << "profile 2 byte " << i;
        }
        for (std::size_t i = 387; i < 505; ++i) EXPECT_EQ(s.settings.bytes[i], 0xAA) << i;
        for (auto b : s.script.bytes) EXPECT_EQ(b, 0xAA);
        EXPECT_EQ(touchedCount(), 0u);
    }
    // Only JL16 carries the radio block, from 0xFA00.
    for (std::size_t i = 0; i < s.radio.bytes.size(); ++i) EXPECT_EQ(s.radio.bytes[i], patternAt(0xFA00 + i));
}

TEST_F(Packing, WholeRecordChipsUnpackTheRecordAndTheScript) {
    fillImageWithPattern();
    fillRecords(0xAA);
    selectTarget(s.target, "AW60");
    unpackSettings(s.image, s.target, records());
    for (std::size_t i = 0; i < 505; ++i) EXPECT_EQ(s.settings.bytes[i], patternAt(0xF800 + i)) << i;
    for (std::size_t i = 0; i < 512; ++i) EXPECT_EQ(s.script.bytes[i], patternAt(0x0870 + i)) << i;
    for (auto b : s.radio.bytes) EXPECT_EQ(b, 0xAA);
}

TEST_F(Packing, MarksExactlyTheSettingsAndScriptAreas) {
    struct Row {
        const char* chip;
        std::uint32_t settings, size, script;
    };
    const Row rows[] = {
        {"KX8", 0xFB80, 255, 0},       {"JL16", 0xF880, 576, 0},      {"AP64", 0xF400, 512, 0xF600},
        {"AW60", 0xF800, 512, 0x0870}, {"JM60", 0xF800, 512, 0x10B0}, {"JM128", 0x1F000, 512, 0x1F400},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.chip);
        s.image.reset();
        selectTarget(s.target, r.chip);
        packSettings(s.image, s.target, records());
        for (std::uint32_t a = 0; a < kFlashSize; ++a) {
            const bool inSettings = a >= r.settings && a < r.settings + r.size;
            const bool inScript = r.script != 0 && a >= r.script && a < r.script + 512;
            ASSERT_EQ(s.image.touched[a], (inSettings || inScript) ? kTouchedData : kUntouched) << std::hex << a;
        }
    }
}

TEST_F(Packing, PackIsTheReverseOfUnpackOnTheDevicesBytes) {
    for (const char* chip : {"KX8", "JL16", "AP64", "JM128"}) {
        SCOPED_TRACE(chip);
        fillImageWithPattern();
        selectTarget(s.target, chip);
        unpackSettings(s.image, s.target, records());
        const auto before = s.image.bytes;
        s.image.reset();
        packSettings(s.image, s.target, records());
        for (std::uint32_t a = 0; a < kFlashSize; ++a) {
            if (s.image.touched[a] == kUntouched) continue;
            // Bytes that belong to no record go out as the image held them (erased).
            const bool noRecord = (std::string(chip) == "JL16" && (a == 0xF880 + 383 || a >= 0xF880 + 538)) ||
                                  (std::string(chip) != "KX8" && std::string(chip) != "JL16" &&
                                   a >= s.target.settingsAddress + 505 && a < s.target.settingsAddress + 512);
            ASSERT_EQ(s.image.bytes[a], noRecord ? kErasedByte : before[a]) << std::hex << a;
        }
    }
}

TEST_F(Packing, Kx8WritesNoProfileByteBeyondItsFirst125) {
    selectTarget(s.target, "KX8");
    fillRecords(0x00);
    s.settings.bytes[5 + 159] = 0x80;  // alternate path, kept only in the working copy
    s.settings.bytes[5 + 125] = 0x11;
    s.settings.bytes[196 + 124] = 0x22;
    s.image.reset();
    packSettings(s.image, s.target, records());
    EXPECT_EQ(s.image.bytes[0xFB80 + 130], 0x00);  // profile 2 starts right after 125 bytes of profile 1
    EXPECT_EQ(s.image.bytes[0xFB80 + 254], 0x22);
    EXPECT_EQ(s.image.bytes[0xFB80 + 255], kErasedByte);
    for (std::uint32_t a = 0xFB80; a < 0xFB80 + 255; ++a) EXPECT_NE(s.image.bytes[a], 0x80) << std::hex << a;
}

TEST_F(Packing, UnknownChipNameNeverTouchesAddressZero) {
    fillImageWithPattern();
    selectTarget(s.target, "AP64");
    selectTarget(s.target, "ap64");  // kind stays, script address becomes 0
    fillRecords(0x11);
    unpackSettings(s.image, s.target, records());
    for (auto b : s.script.bytes) EXPECT_EQ(b, 0x11);
    EXPECT_EQ(s.settings.bytes[0], patternAt(0xF400));

    s.image.reset();
    packSettings(s.image, s.target, records());
    EXPECT_EQ(touchedCount(), 512u);
    EXPECT_EQ(s.image.touched[0xF400], kTouchedData);
    EXPECT_EQ(s.image.touched[0], kUntouched);
    EXPECT_EQ(s.image.bytes[0], kErasedByte);
}

TEST_F(Packing, NoTargetCopiesAndMarksNothing) {
    fillImageWithPattern();
    fillRecords(0x33);
    unpackSettings(s.image, s.target, records());
    for (auto b : s.settings.bytes) EXPECT_EQ(b, 0x33);
    packSettings(s.image, s.target, records());
    EXPECT_EQ(touchedCount(), 0u);
    EXPECT_EQ(s.image.bytes[0], patternAt(0));
}

// New firmware with the current configuration: the header the new image
// brought (its family, type and build) stays, the flags are ours. An image
// that brought none (its header untouched, erased) takes the record's, which
// is the tracker's: an erased header would leave it unrecognised.
TEST_F(Packing, KeepingHeaderKeepsFamilyTypeBuildButNotFlags) {
    for (const bool brought : {true, false}) {
        SCOPED_TRACE(brought);
        selectTarget(s.target, "JM128");
        s.image.reset();
        const std::uint8_t firmwareHeader[] = {2, 3, 0x01, 0x2C, 0x00};
        if (brought)
            for (int i = 0; i < 5; ++i) {
                s.image.bytes[0x1F000 + i] = firmwareHeader[i];
                s.image.touched[0x1F000 + i] = kTouchedData;
            }
        fillRecords(0x00);
        s.settings.setFamily(0);
        s.settings.setType(1);
        s.settings.setBuild(0x019C);
        s.settings.setFlags(0x80);
        s.settings.bytes[5] = 0x42;
        packSettingsKeepingHeader(s.image, s.target, records());
        const std::vector<std::uint8_t> header(&s.image.bytes[0x1F000], &s.image.bytes[0x1F004]);
        const std::vector<std::uint8_t> wanted =
            brought ? std::vector<std::uint8_t>{2, 3, 0x01, 0x2C} : std::vector<std::uint8_t>{0, 1, 0x01, 0x9C};
        EXPECT_EQ(header, wanted);
        EXPECT_EQ(s.image.bytes[0x1F004], 0x80);
        EXPECT_EQ(s.image.bytes[0x1F005], 0x42);
        EXPECT_EQ(s.image.touched[0x1F400], kTouchedData);
    }
}

}  // namespace
}  // namespace varnel
