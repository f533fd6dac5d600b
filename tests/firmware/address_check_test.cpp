#include <gtest/gtest.h>

#include <memory>

#include "firmware/address_check.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

DeviceInfo range(std::uint16_t start, std::uint16_t end) {
    DeviceInfo info;
    info.validStart = start;
    info.validEnd = end;
    return info;
}

TEST(ValidateImageAddresses, ReportsTheFirstLoadedByteOutsideTheValidRange) {
    struct Row {
        const char* what;
        TargetKind kind;
        DeviceInfo info;
        std::vector<std::pair<std::uint32_t, std::uint8_t>> marks;
        const char* message;  // nullptr: passes
    };
    const Row rows[] = {
        {"empty image", KindAP64, range(0x8000, 0xF400), {}, nullptr},
        {"first and last valid byte", KindAP64, range(0x8000, 0xF400), {{0x8000, 1}, {0xF3FF, 1}}, nullptr},
        {"below start",
         KindAP64,
         range(0x8000, 0xF400),
         {{0x7FFF, 1}},
         "Invalid address: 7fff (valid range 8000 to f3ff)"},
        {"at end", KindAP64, range(0x8000, 0xF400), {{0xF400, 1}}, "Invalid address: f400 (valid range 8000 to f3ff)"},
        {"address 0, four digits",
         KindKX8,
         range(0xE000, 0xFB80),
         {{0x0000, 1}},
         "Invalid address: 0000 (valid range e000 to fb7f)"},
        {"top of flash",
         KindAP64,
         range(0x8000, 0xF400),
         {{0x3FFFF, 1}},
         "Invalid address: 3ffff (valid range 8000 to f3ff)"},
        {"low hit wins over an earlier-found high one",
         KindAP64,
         range(0x8000, 0xF400),
         {{0xF500, 1}, {0x100, 1}},
         "Invalid address: 0100 (valid range 8000 to f3ff)"},
        {"jump table marks are not checked", KindAP64, range(0x8000, 0xF400), {{0x10, 2}, {0xFFC0, 2}}, nullptr},
        {"JM128 end is in 4-byte units", KindJM128, range(0x2180, 0x7C00), {{0x1EFFF, 1}}, nullptr},
        {"JM128 at the scaled end",
         KindJM128,
         range(0x2180, 0x7C00),
         {{0x1F000, 1}},
         "Invalid address: 1f000 (valid range 2180 to 1efff)"},
        {"JM128 start is not scaled",
         KindJM128,
         range(0x2180, 0x7C00),
         {{0x217F, 1}},
         "Invalid address: 217f (valid range 2180 to 1efff)"},
        {"JM60 end is a plain address",
         KindJM60,
         range(0x1960, 0xFFAC),
         {{0xFFAC, 1}},
         "Invalid address: ffac (valid range 1960 to ffab)"},
    };
    for (const auto& r : rows) {
        auto image = std::make_unique<FlashImage>();
        for (auto [address, marker] : r.marks) image->touched[address] = marker;
        test::RecordingUi ui;
        const int result = validateImageAddresses(*image, r.info, r.kind, ui);
        if (r.message) {
            EXPECT_EQ(result, -1) << r.what;
            EXPECT_EQ(ui.messages, std::vector<std::string>{r.message}) << r.what;
        } else {
            EXPECT_EQ(result, 0) << r.what;
            EXPECT_TRUE(ui.messages.empty()) << r.what;
        }
    }
}

}  // namespace
}  // namespace varnel
