#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "config/device_target.h"
#include "link/bin_export.h"
#include "link/boot_link.h"
#include "link/fake_link_bench.h"
#include "link/link_messages.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

class BinExportTest : public ::testing::Test, protected test::FakeLinkBench {
protected:
    void SetUp() override {
        startInBootloader();
        for (std::size_t a = 0; a < 0x10000; ++a) device.flash[a] = static_cast<std::uint8_t>(a * 13 + (a >> 8));
        path = (std::filesystem::temp_directory_path() / ("varnel-export-" + std::to_string(::getpid()) + ".bin"))
                   .string();
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path;
};

TEST_F(BinExportTest, WritesHeaderAndDeviceMemoryLeavingTheImageAlone) {
    for (const char* chip : {"AP64", "JM128"}) {
        selectTarget(target, chip);
        device.scaled = target.kind == KindJM128;
        device.log.clear();
        ui.messages.clear();
        link.confirmedReads.clear();  // another tracker
        ui.kinds.clear();
        ASSERT_EQ(exportDeviceToBin(boot, path), 0) << chip;
        EXPECT_EQ(ui.messages, std::vector<std::string>{"Done.\nThe tracker's memory is in " + path});
        EXPECT_EQ(ui.kinds, std::vector<MessageKind>{MessageKind::Information});  // a result, not a warning
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
        ASSERT_EQ(file.size(), 61952u) << chip;
        EXPECT_EQ(file[0], 0x1D);
        EXPECT_EQ(file[1], 0x08);
        EXPECT_EQ(file[2], 0x80);
        EXPECT_TRUE(std::equal(file.begin() + 128, file.end(), device.flash.begin() + 0x0880)) << chip;
        EXPECT_EQ(device.log.size(), 2 * ((61824u + 127) / 128));  // each chunk read twice
        EXPECT_EQ(device.log.front().field, device.scaled ? 0x0880u >> 2 : 0x0880u);
    }
    EXPECT_TRUE(std::all_of(image.bytes.begin(), image.bytes.end(), [](auto b) { return b == 0xFF; }));
}

TEST_F(BinExportTest, AFailedReadRemovesThePartialFile) {
    selectTarget(target, "AP64");
    device.truncateRead = true;
    EXPECT_EQ(exportDeviceToBin(boot, path), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{link_messages::kErrorReceiving});
    EXPECT_EQ(ui.kinds, std::vector<MessageKind>{MessageKind::Error});
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(BinExportTest, AnUncreatableFileIsReported) {
    EXPECT_EQ(exportDeviceToBin(boot, "/nonexistent-dir/x.bin"), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating file."});
    EXPECT_TRUE(port.written.empty());
}

}  // namespace
}  // namespace varnel
