#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

#include "firmware/srecord_builder.h"
#include "firmware/srecord_loader.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using test::srecord;

struct LoaderTest : ::testing::Test {
    std::unique_ptr<FlashImage> image = std::make_unique<FlashImage>();
    test::RecordingUi ui;
    std::filesystem::path path;

    void SetUp() override {
        path = std::filesystem::temp_directory_path() /
               ("varnel_srec_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".s19");
    }
    void TearDown() override { std::filesystem::remove(path); }

    void write(const std::vector<std::string>& lines, const char* eol = "\n") {
        std::ofstream out(path, std::ios::binary);
        for (const auto& l : lines) out << l << eol;
    }
    int load() { return loadSRecordFile(path.string(), *image, ui); }
};

TEST_F(LoaderTest, ResetsTheImageThenLoadsEveryRecord) {
    image->bytes[0x100] = 0x00;
    image->touched[0x100] = kTouchedData;
    write({srecord('0', 0, {'x'}), srecord('1', 0x8000, {1, 2}), srecord('2', 0x1F000, {3}), srecord('5', 2, {}),
           srecord('9', 0x8000, {})});
    EXPECT_EQ(load(), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(image->bytes[0x100], kErasedByte);
    EXPECT_EQ(image->touched[0x100], kUntouched);
    EXPECT_EQ(image->bytes[0x8001], 2);
    EXPECT_EQ(image->bytes[0x1F000], 3);
    EXPECT_EQ(image->touchedSpan(), std::make_pair(std::uint32_t{0x8000}, std::uint32_t{0x1F001}));
}

TEST_F(LoaderTest, NothingAfterAnEndRecordIsRead) {
    for (const char* end : {"S9030000FC", "S70500000000FA", "S804000000FB"}) {
        image->reset();
        write({srecord('1', 0x8000, {1}), end, srecord('1', 0x9000, {2}), "S1 garbage that would fail"});
        EXPECT_EQ(load(), 0) << end;
        EXPECT_EQ(image->touched[0x8000], kTouchedData) << end;
        EXPECT_EQ(image->touched[0x9000], kUntouched) << end;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoaderTest, AFileWithoutEndRecordLoadsToItsEndAndCrLfIsFine) {
    write({srecord('1', 0x8000, {0xAA}), srecord('1', 0x8010, {0xBB})}, "\r\n");
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(image->bytes[0x8000], 0xAA);
    EXPECT_EQ(image->bytes[0x8010], 0xBB);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoaderTest, AFailureStopsWithOneMessageAndKeepsWhatWasLoaded) {
    std::string bad = srecord('1', 0x8020, {0xCC, 0xDD});
    bad.back() = bad.back() == '0' ? '1' : '0';
    write({srecord('1', 0x8000, {0xAA}), srecord('1', 0x8010, {0xBB}), bad, srecord('1', 0x8030, {0xEE})});
    EXPECT_EQ(load(), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error reading firmware file"});
    for (std::uint32_t a : {0x8000u, 0x8010u, 0x8020u, 0x8021u}) EXPECT_EQ(image->touched[a], kTouchedData) << a;
    EXPECT_EQ(image->bytes[0x8021], 0xDD);
    EXPECT_EQ(image->touched[0x8030], kUntouched);
}

// Text with no record in it (release notes under a .s19 name), or records
// that carry no data, would erase a tracker's firmware and write nothing.
TEST_F(LoaderTest, AFileWithoutDataRecordsIsRefused) {
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"Release notes", "fixed the beacon"}, {srecord('0', 0, {'x'}), "S9030000FC"}, {}}) {
        ui.messages.clear();
        write(lines);
        EXPECT_EQ(load(), kNoRecordsLoaded);
        EXPECT_EQ(ui.messages, std::vector<std::string>{"The file holds no firmware records."});
    }
}

TEST_F(LoaderTest, AnOverlongLineGoesOnAsTheNextLine) {
    // Lines are read 511 characters at a time: the first 511 of a 600-digit
    // record are parsed as one (malformed) record.
    write({"S" + std::string(599, '1'), srecord('1', 0x8000, {7})});
    EXPECT_EQ(load(), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error reading firmware file"});

    // What follows the first 511 characters is read as a line of its own.
    write({"X" + std::string(510, 'A') + srecord('1', 0x9000, {9})});
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(image->bytes[0x9000], 9);
    EXPECT_EQ(image->touched[0x9000], kTouchedData);
}

TEST_F(LoaderTest, AnUnopenableFileGoesToStandardErrorOnly) {
    const std::string missing = (std::filesystem::temp_directory_path() / "varnel_no_such_dir" / "x.s19").string();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(loadSRecordFile(missing, *image, ui), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Can't open input file " + missing + "\n");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoaderTest, AnEmptyPathReadsStandardInput) {
    write({srecord('1', 0x8000, {0x42}), "S9030000FC"});
    ASSERT_NE(std::freopen(path.string().c_str(), "rb", stdin), nullptr);
    EXPECT_EQ(loadSRecordFile("", *image, ui), 0);
    EXPECT_EQ(image->bytes[0x8000], 0x42);
    EXPECT_EQ(image->touched[0x8000], kTouchedData);
    // Let go of the file, or Windows cannot remove it.
#ifdef _WIN32
    std::freopen("NUL", "rb", stdin);
#else
    std::freopen("/dev/null", "rb", stdin);
#endif
}

TEST(DemoFirmware, IsAValidAp64Image) {
    auto image = std::make_unique<FlashImage>();
    test::RecordingUi ui;
    ASSERT_EQ(loadSRecordFile(VARNEL_TEST_DATA_DIR "/ap64-demo.s19", *image, ui), 0);
    EXPECT_TRUE(ui.messages.empty());
    // Code from 0x8000 and the reset vector pointing at it.
    EXPECT_EQ(image->touched[0x8000], kTouchedData);
    EXPECT_EQ(image->bytes[0xFFFE], 0x80);
    EXPECT_EQ(image->bytes[0xFFFF], 0x00);
    EXPECT_EQ(image->touched[0xFFFF], kTouchedData);
    const auto span = image->touchedSpan();
    ASSERT_TRUE(span);
    EXPECT_EQ(span->first, 0x8000u);
    EXPECT_EQ(span->second, 0x10000u);
}

}  // namespace
}  // namespace varnel
