#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "config/ax25_codec.h"
#include "config/device_target.h"
#include "config/settings_record.h"
#include "emulator/model/default_settings.h"
#include "emulator/flash_file.h"

namespace varnel {
namespace {

// Where each profile starts in device memory, as the host unpacks it.
std::uint32_t profileAddress(const TargetTableEntry& t, int index) {
    const std::uint32_t stride = t.kind == KindKX8 ? 125 : t.kind == KindJL16 ? 189 : 191;
    return t.settingsAddress + 5 + index * stride;
}

TEST(DefaultSettings, EveryChipShowsABelievableTracker) {
    for (const auto& target : kTargetTable) {
        SCOPED_TRACE(std::string(target.chipName));
        FlashMemory flash;
        writeDefaultSettings(flash, *findEmulatedChip(target.chipName));
        const auto& m = flash.cells();
        const std::uint32_t s = target.settingsAddress;

        EXPECT_EQ(m[s + settings_layout::kFamily], kFamilyTracker);
        EXPECT_GE(m[s + settings_layout::kType], 1);
        EXPECT_LE(m[s + settings_layout::kType], 3);  // above 3 the host asks for new firmware
        EXPECT_NE(getU16BE(&m[s + settings_layout::kBuild]), 0xFFFF);

        const char* callsigns[] = {"N0CALL-9", "N0CALL-7"};
        for (int p = 0; p < 2; ++p) {
            const std::uint8_t* profile = &m[profileAddress(target, p)];
            EXPECT_EQ(decodeAddress(profile + 5), callsigns[p]);
            EXPECT_EQ(profile[12], 14);  // two path elements
            EXPECT_EQ(decodePath(profile + 13, 21, profile[12]), "WIDE1-1,WIDE2-1");
            EXPECT_EQ(profile[34], '/');
            EXPECT_EQ(profile[35], '>');
            EXPECT_GT(getU16BE(profile + 1), 0);  // beacon interval
        }

        if (target.scriptAddress != 0) {
            // Walk the statements: every opcode known, 0xFF reached inside the area.
            std::uint32_t at = 0;
            int statements = 0;
            while (at < kScriptAreaSize && m[target.scriptAddress + at] != 0xFF) {
                const std::uint8_t op = m[target.scriptAddress + at];
                const std::uint8_t low = op & 0x7F;
                std::uint32_t size = low < 20   ? 1
                                     : low < 40 ? 2
                                     : low < 60 ? 3
                                     : low < 80 ? 4
                                     : low < 90 ? 5
                                                : 2u + m[target.scriptAddress + at + 1];
                at += size;
                ++statements;
            }
            EXPECT_LT(at, kScriptAreaSize);
            EXPECT_GE(statements, 3);
            EXPECT_EQ(m[target.scriptAddress + kScriptAreaSize - 1], 0xFF);
        }
    }
}

TEST(DefaultSettings, TheSatelliteWindowsShowARealTracker) {
    for (const char* chip : {"JL16", "JM128"}) {
        SCOPED_TRACE(chip);
        const TargetTableEntry& t = *findTarget(chip);
        FlashMemory flash;
        writeDefaultSettings(flash, *findEmulatedChip(chip));
        const auto& m = flash.cells();
        if (t.kind == KindJL16) {
            // Profile 2 ends at offset 383; the radio block sits at 0xFA00.
            EXPECT_EQ(m[0xF880 + 383], 0xFF);
            const std::uint8_t* radio = &m[radio_layout::kDeviceAddress];
            EXPECT_EQ(radio[radio_layout::kStatusButton], 2);
            EXPECT_EQ(getU32BE(radio + radio_layout::kFrequencies), 144390000u);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(radio + radio_layout::kStatusTexts)), "On the road");
            EXPECT_EQ(m[t.settingsAddress + settings_layout::kFlags], settings_layout::kFlagShowFreqButton);
        } else {
            // The alias table lives only in the full 505-byte record.
            const std::uint8_t* alias = &m[t.settingsAddress + settings_layout::kDigipeaterAliases];
            std::uint8_t field[7] = {alias[8], alias[9], alias[10], alias[11], alias[12], alias[13], 0};
            EXPECT_EQ(decodeAddress(field), "WIDE2");
            EXPECT_EQ(alias[8 + 6], 2);
        }
        // Profile 2 (parked) digipeats with both aliases.
        EXPECT_EQ(m[profileAddress(t, 1) + 125], 0x03);
    }
}

TEST(FlashFile, LoadsTheHostsExportAndRawImagesAndSavesWhatItLoads) {
    const std::string dir = ::testing::TempDir();
    // The export: marker, start address 0x0880, header padding, 0x0880..0xF9FF.
    std::string exportFile = dir + "/emu_export.bin";
    {
        std::string bytes(128 + (0xFA00 - 0x0880), '\x00');
        bytes[0] = 0x1D;
        bytes[1] = 0x08;
        bytes[2] = static_cast<char>(0x80);
        bytes[128] = 0x42;
        bytes[bytes.size() - 1] = 0x24;
        std::ofstream(exportFile, std::ios::binary) << bytes;
    }
    FlashMemory flash;
    std::string error;
    ASSERT_TRUE(loadFlashFile(exportFile, flash, error)) << error;
    EXPECT_EQ(flash.read(0x087F), 0xFF);
    EXPECT_EQ(flash.read(0x0880), 0x42);
    EXPECT_EQ(flash.read(0xF9FF), 0x24);
    EXPECT_EQ(flash.read(0xFA00), 0xFF);

    const std::string saved = dir + "/emu_saved.bin";
    ASSERT_TRUE(saveFlashFile(saved, flash, error)) << error;
    FlashMemory again;
    ASSERT_TRUE(loadFlashFile(saved, again, error)) << error;
    EXPECT_EQ(again.cells(), flash.cells());

    const std::string tooBig = dir + "/emu_big.bin";
    std::ofstream(tooBig, std::ios::binary) << std::string(FlashMemory::kSize + 1, '\x01');
    EXPECT_FALSE(loadFlashFile(tooBig, again, error));
    EXPECT_FALSE(loadFlashFile(dir + "/no_such_file.bin", again, error));
    for (const auto& f : {exportFile, saved, tooBig}) std::remove(f.c_str());
}

TEST(FlashFile, LoadsSRecords) {
    const std::string path = ::testing::TempDir() + "/emu_fw.s19";
    // S1, 4 data bytes at 0x1000; the checksum makes the byte sum 0xFF.
    std::ofstream(path) << "S1071000DEADBEEFB0\nS9030000FC\n";
    FlashMemory flash;
    std::string error;
    ASSERT_TRUE(loadFlashFile(path, flash, error)) << error;
    EXPECT_EQ(flash.read(0x1000), 0xDE);
    EXPECT_EQ(flash.read(0x1003), 0xEF);
    EXPECT_EQ(flash.read(0x1004), 0xFF);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace varnel
