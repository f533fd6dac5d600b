#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/device_target.h"
#include "link/boot_link.h"
#include "link/fake_link_bench.h"
#include "link/staged_write.h"
#include "link/write_progress.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

struct RecordingProgress : WriteProgress {
    std::vector<std::string> statuses;
    std::pair<int, int> range{0, 100};
    int position = -1;
    void setRange(int lo, int hi) override { range = {lo, hi}; }
    void setPosition(int p) override { position = p; }
    void setStatus(const std::string& s) override { statuses.push_back(s); }
};

class StagedWriteTest : public ::testing::Test, protected test::FakeLinkBench {
protected:
    void use(const char* chip, std::uint16_t eraseSize, std::uint16_t writeSize) {
        selectTarget(target, chip);
        device.scaled = target.kind == KindJM128;
        device.eraseSize = eraseSize;
        device.writeSize = writeSize;
        startInBootloader();
    }
    void load(std::uint32_t from, std::uint32_t to) {
        for (std::uint32_t a = from; a < to; ++a) {
            image.bytes[a] = static_cast<std::uint8_t>(a ^ (a >> 8));
            image.touched[a] = kTouchedData;
        }
    }

    RecordingProgress progress;
};

const std::vector<std::string> kSinglePass{"Stand by, writing data...", "Finished!"};

TEST_F(StagedWriteTest, Jm128FirmwareGoesThroughTheStagingArea) {
    use("JM128", 1024, 128);
    load(0x0000, 0x0100);
    load(0x18000, 0x18010);
    ASSERT_EQ(writeImage(boot, progress).status, 0);
    EXPECT_EQ(progress.statuses,
              (std::vector<std::string>{"Stand by, writing data...", "Loading firmware, stage 1 of 3...",
                                        "Loading firmware, stage 2 of 3...", "Loading firmware, stage 3 of 3...",
                                        "Finished!"}));
    const std::string codes = device.codes();
    const auto commit = codes.find('U');
    ASSERT_NE(commit, std::string::npos);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 'U'), 1);
    EXPECT_EQ(codes.find_first_not_of("EVRU"), std::string::npos) << codes;
    // Every 'V' is read back; after 'U' the low part is read back whole
    // (0x7000 bytes in 128-byte reads) before stage 3 begins.
    EXPECT_EQ(codes.substr(commit, 1 + 0x7000 / 128 + 1), "U" + std::string(0x7000 / 128, 'R') + "E");
    const std::size_t stage3 = commit + 1 + 0x7000 / 128;
    // After stage 3 the low part's one programmed block is read once more.
    std::size_t end = device.log.size();
    while (end > stage3 && device.log[end - 1].field < 0x1C00u) --end;
    EXPECT_EQ(codes.substr(end), "R");
    for (std::size_t i = 0; i < end; ++i) {
        const auto field = device.log[i].field;
        if (i < commit) {  // stage 1: 0x10000..0x16FFF in 4-byte units
            EXPECT_GE(field, 0x4000u) << i;
            EXPECT_LT(field, 0x5C00u) << i;
        } else if (i > commit && i < stage3) {
            EXPECT_LT(field, 0x1C00u) << i;
        } else if (i >= stage3) {
            EXPECT_GE(field, 0x1C00u) << i;
            EXPECT_LT(field, 0x8000u) << i;
        }
    }
    // Stage 1 staged all 0x7000 bytes, and stage 3 wrote up to 0x17000
    // whether or not the file covered it, plus what the file held above.
    EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.begin() + 0x17000, device.flash.begin()));
    EXPECT_TRUE(
        std::equal(image.bytes.begin() + 0x18000, image.bytes.begin() + 0x18010, device.flash.begin() + 0x18000));
    EXPECT_EQ(progress.position, progress.range.second - 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StagedWriteTest, Jm128StageOneFailureSendsNoCommit) {
    use("JM128", 1024, 128);
    load(0x0000, 0x0100);
    device.nakErase = {0x4000};
    EXPECT_EQ(writeImage(boot, progress).status, -1);
    EXPECT_EQ(device.codes().find('U'), std::string::npos);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Unable to erase block at 0x0000", "Configuration write failed"}));
    EXPECT_EQ(progress.statuses.back(), "Write failed!");
    EXPECT_EQ(std::count(progress.statuses.begin(), progress.statuses.end(), "Loading firmware, stage 2 of 3..."), 0);
}

TEST_F(StagedWriteTest, Jm128SettingsWriteIsASinglePass) {
    use("JM128", 1024, 128);
    load(0x1F000, 0x1F200);
    ASSERT_EQ(writeImage(boot, progress).status, 0);
    EXPECT_EQ(progress.statuses, kSinglePass);
    EXPECT_EQ(device.codes().find('U'), std::string::npos);
    EXPECT_EQ(device.log.front().field, 0x1F000u >> 2);
    EXPECT_TRUE(
        std::equal(image.bytes.begin() + 0x1F000, image.bytes.begin() + 0x1F200, device.flash.begin() + 0x1F000));
}

TEST_F(StagedWriteTest, FirmwareOnOtherChipsIsASinglePassWithReadBack) {
    use("AP64", 512, 64);
    load(0x0000, 0x0040);
    load(0xF400, 0xF440);
    ASSERT_EQ(writeImage(boot, progress).status, 0);
    EXPECT_EQ(progress.statuses, kSinglePass);
    EXPECT_EQ(device.codes(), "EWREWRRR");  // and one byte of each block at the end
    EXPECT_EQ(progress.range, std::make_pair(0, 32));
    EXPECT_EQ(progress.position, 31);
}

TEST_F(StagedWriteTest, NothingTouchedSendsNothing) {
    use("AP64", 512, 64);
    ASSERT_EQ(writeImage(boot, progress).status, 0);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(progress.statuses, kSinglePass);
}

// "Finished!" after a failure would read as success.
TEST_F(StagedWriteTest, AFailedWriteAddsTheGeneralMessageAndEndsFailed) {
    use("AP64", 512, 64);
    load(0xF400, 0xF500);
    device.corruptRead = true;
    const WriteResult result = writeImage(boot, progress);
    EXPECT_EQ(result.status, -1);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Verify error at block 0xf400", "Configuration write failed"}));
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Stand by, writing data...", "Write failed!"}));
    EXPECT_EQ(progress.position, progress.range.second - 1);
    EXPECT_EQ(writeFailureNote(boot, result),
              "The tracker's settings area from 0xf400 on is incomplete. Its bootloader is intact, so "
              "the tracker can be written again.");
}

// A line gone before the first erase request went out whole changed nothing,
// and the note says so instead of calling an area incomplete.
TEST_F(StagedWriteTest, AWriteThatNeverErasedSaysNothingWasWritten) {
    use("AP64", 512, 64);
    load(0xF400, 0xF500);
    port.closePort();
    const WriteResult result = writeImage(boot, progress);
    EXPECT_EQ(result.status, -1);
    EXPECT_FALSE(boot.flashMayHaveChanged());
    EXPECT_EQ(writeFailureNote(boot, result),
              "Nothing was written: the tracker holds what it held before, and can be written again.");
}

}  // namespace
}  // namespace varnel
