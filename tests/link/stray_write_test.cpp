#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "config/device_target.h"
#include "device/flash_image.h"
#include "link/address_rules.h"
#include "link/stray_write.h"

namespace varnel {
namespace {

using Flash = std::vector<std::uint8_t>;

std::uint8_t blockByte(std::uint32_t i) { return static_cast<std::uint8_t>(0x10 + i); }

// The image holds a 64-byte block at `at` (a 128-byte one for JM128).
void touchBlock(FlashImage& image, std::uint32_t at, std::uint32_t length) {
    for (std::uint32_t i = 0; i < length; ++i) {
        image.bytes[at + i] = blockByte(i);
        image.touched[at + i] = kTouchedData;
    }
}
// The device holds the block's bytes from `from` on, shifted to `to`.
void place(Flash& flash, std::uint32_t to, std::uint32_t from, std::uint32_t length) {
    for (std::uint32_t i = from; i < length; ++i) flash[to + i - from] = blockByte(i);
}

// A block whose read-back differs is looked for one flipped address bit away,
// on a device whose flash the test sets out.
TEST(StrayWrite, FoundOnlyWhereItReachesOutsideTheImage) {
    struct Row {
        const char* name;
        TargetKind kind;
        SentBlock sent;
        void (*arrange)(FlashImage&, Flash&);
        std::optional<std::uint32_t> found;
    };
    const Row rows[] = {
        {"whole at a far neighbour, its own place erased",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0xF400, 64);
             place(flash, 0xFC00, 0, 64);
         },
         0xFC00},
        {"at a far neighbour the image writes too",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0xF400, 64);
             touchBlock(image, 0xFC00, 64);
             place(flash, 0xFC00, 0, 64);
         },
         std::nullopt},
        {"a neighbour holding other bytes is not the copy",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0xF400, 64);
             std::fill(flash.begin() + 0xFC00, flash.begin() + 0xFC40, 0xA5);
         },
         std::nullopt},
        {"its own place holds something else",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0xF400, 64);
             place(flash, 0xF400, 0, 64);
             flash[0xF420] ^= 0x01;
             place(flash, 0xFC00, 0, 64);
         },
         std::nullopt},
        {"moved by 16 bytes, past the image's end",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0xF400, 64);
             place(flash, 0xF410, 0, 64);
         },
         0xF410},
        {"moved by 16 bytes, inside the image",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0xF400, 64);
             for (std::uint32_t a = 0xF440; a < 0xF450; ++a) image.touched[a] = kTouchedData;
             place(flash, 0xF410, 0, 64);
         },
         std::nullopt},
        {"an erased block writes nothing anywhere",
         KindAP64,
         {0xF400, 64, 0},
         [](FlashImage& image, Flash&) {
             std::fill(image.touched.begin() + 0xF400, image.touched.begin() + 0xF440, kTouchedData);
         },
         std::nullopt},
        // Staged at 0x10000 higher, in 4-byte units: field 0x4400 with bit
        // 0x1000 flipped is 0x5400, byte address 0x15000.
        {"JM128's staged block, a unit bit away",
         KindJM128,
         {0x1000, 128, 0x10000},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0x1000, 128);
             place(flash, 0x15000, 0, 128);
         },
         0x15000},
        {"JM128 moved by one unit, past the image's end",
         KindJM128,
         {0x1000, 128, 0},
         [](FlashImage& image, Flash& flash) {
             touchBlock(image, 0x1000, 128);
             place(flash, 0x1004, 0, 128);
         },
         0x1004},
    };
    for (const Row& row : rows) {
        FlashImage image;
        Flash flash(kFlashSize, 0xFF);
        row.arrange(image, flash);
        const DeviceRead read = [&](std::uint32_t address, std::uint32_t length, std::uint8_t* into) {
            std::copy(flash.begin() + address, flash.begin() + address + length, into);
            return true;
        };
        EXPECT_EQ(findStrayWrite(image, AddressRules(row.kind), row.sent, read), row.found) << row.name;
    }

    // Its own place unreadable: nothing can be said, and nothing more is read.
    FlashImage image;
    touchBlock(image, 0xF400, 64);
    int reads = 0;
    const DeviceRead unreadable = [&](std::uint32_t, std::uint32_t, std::uint8_t*) {
        ++reads;
        return false;
    };
    EXPECT_EQ(findStrayWrite(image, AddressRules(KindAP64), {0xF400, 64, 0}, unreadable), std::nullopt);
    EXPECT_EQ(reads, 1);
}

}  // namespace
}  // namespace varnel
