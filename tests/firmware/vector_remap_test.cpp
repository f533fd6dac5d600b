#include <gtest/gtest.h>

#include <memory>

#include "firmware/address_check.h"
#include "firmware/srecord_loader.h"
#include "firmware/vector_remap.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

DeviceInfo ap64Info() {
    DeviceInfo info;
    info.deviceId = "AP64-T";
    info.validStart = 0x8000;
    info.validEnd = 0xF400;
    info.redirectBase = 0xEF00;
    info.vectorLow = 0xFFF8;  // four vectors
    info.redirectPrologue = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    return info;
}

struct RemapTest : ::testing::Test {
    std::unique_ptr<FlashImage> image = std::make_unique<FlashImage>();

    void loadVector(std::uint32_t v, std::uint16_t target) {
        image->bytes[v] = static_cast<std::uint8_t>(target >> 8);
        image->bytes[v + 1] = static_cast<std::uint8_t>(target);
        image->touched[v] = image->touched[v + 1] = kTouchedData;
    }
};

TEST_F(RemapTest, BuildsTheJumpTableHighestVectorFirstAndMarksIt) {
    loadVector(0xFFFE, 0x8000);  // reset
    loadVector(0xFFFA, 0x8123);
    const DeviceInfo info = ap64Info();
    EXPECT_EQ(remapVectors(*image, info), 0);

    const std::uint8_t expected[] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0xCC, 0x80, 0x00,  // 0xFFFE
                                     0xCC, 0xFF, 0xFF,   // 0xFFFC, not supplied: erased bytes
                                     0xCC, 0x81, 0x23,   // 0xFFFA
                                     0xCC, 0xFF, 0xFF};  // 0xFFF8
    for (std::size_t i = 0; i < sizeof expected; ++i) {
        EXPECT_EQ(image->bytes[0xEF00 + i], expected[i]) << i;
        EXPECT_EQ(image->touched[0xEF00 + i], kTouchedVectors) << i;
    }
    EXPECT_EQ(image->touched[0xEF00 - 1], kUntouched);
    EXPECT_EQ(image->touched[0xEF00 + sizeof expected], kUntouched);
    // The hardware vectors belong to the bootloader and are never written,
    // though the image keeps their bytes.
    for (std::uint32_t v = 0xFFF8; v <= 0xFFFF; ++v) EXPECT_EQ(image->touched[v], kUntouched) << v;
    EXPECT_EQ(image->bytes[0xFFFE], 0x80);
}

TEST_F(RemapTest, WithoutFirmwareVectorsTheTableIsWrittenButNotMarked) {
    // Half a vector does not count as supplied; it is still unmarked.
    image->touched[0xFFFC] = kTouchedData;
    EXPECT_EQ(remapVectors(*image, ap64Info()), 0);
    EXPECT_EQ(image->bytes[0xEF00], 0x11);
    EXPECT_EQ(image->bytes[0xEF08], 0xCC);
    EXPECT_FALSE(image->touchedSpan().has_value());
}

TEST_F(RemapTest, ChipsWhoseBootloaderLeavesTheVectorsAloneAreUntouched) {
    for (const char* id : {"AW60", "AW32-x", "JM60", "JM128-ABC"}) {
        image->reset();
        loadVector(0xFFFE, 0x8000);
        DeviceInfo info = ap64Info();
        info.deviceId = id;
        remapVectors(*image, info);
        EXPECT_EQ(image->bytes[0xEF00], kErasedByte) << id;
        EXPECT_EQ(image->touched[0xFFFE], kTouchedData) << id;
        EXPECT_EQ(image->touchedSpan(), std::make_pair(std::uint32_t{0xFFFE}, std::uint32_t{0x10000})) << id;
    }
}

TEST_F(RemapTest, AVectorAreaDownToAddressZeroStaysInsideTheImage) {
    loadVector(0xFFFE, 0x8000);
    DeviceInfo info = ap64Info();
    info.redirectBase = 0xFFF0;
    info.vectorLow = 0;
    EXPECT_EQ(remapVectors(*image, info), 0);
    const std::uint32_t end = 0xFFF0 + 8 + 3 * 0x8000;  // one entry per even address
    EXPECT_EQ(image->touched[end - 1], kTouchedVectors);
    EXPECT_EQ(image->touched[end], kUntouched);
    EXPECT_EQ(image->bytes[end - 3], 0xCC);  // the entry for vector 0
}

TEST(FirmwareWritePreparation, DemoFirmwarePassesRemapAndValidation) {
    auto image = std::make_unique<FlashImage>();
    test::RecordingUi ui;
    ASSERT_EQ(loadSRecordFile(VARNEL_TEST_DATA_DIR "/ap64-demo.s19", *image, ui), 0);
    const DeviceInfo info = ap64Info();
    // Before remapping the reset vector lies beyond the valid range...
    EXPECT_EQ(validateImageAddresses(*image, info, KindAP64, ui), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Invalid address: fffc (valid range 8000 to f3ff)"});
    // ...after it, only the jump table stands for the vectors.
    ui.messages.clear();
    remapVectors(*image, info);
    EXPECT_EQ(validateImageAddresses(*image, info, KindAP64, ui), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(image->bytes[0xEF08], 0xCC);
    EXPECT_EQ(image->bytes[0xEF09], 0x80);
    EXPECT_EQ(image->bytes[0xEF0A], 0x00);
    EXPECT_EQ(image->touched[0xEF08], kTouchedVectors);
}

}  // namespace
}  // namespace varnel
