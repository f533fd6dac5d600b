#include <gtest/gtest.h>

#include <vector>

#include "emulator/model/usb_adapter.h"

namespace varnel {
namespace {

using namespace std::chrono_literals;
using Clock = UsbAdapterModel::Clock;

TEST(UsbAdapterModel, APacketLeavesWhenFullOrWhenItsTimerRunsOut) {
    struct Case {
        std::size_t bytes;
        std::size_t fullPackets;  // sent at once
        std::size_t held;         // sent only when the timer runs out
    };
    for (const Case c : {Case{1, 0, 1}, Case{61, 0, 61}, Case{62, 1, 0}, Case{130, 2, 6}}) {
        SCOPED_TRACE(c.bytes);
        UsbAdapterModel adapter(16ms);
        const Clock::time_point t0{};
        const std::vector<std::uint8_t> data(c.bytes, 0xFC);
        const auto full = adapter.arrive(data.data(), data.size(), t0);
        ASSERT_EQ(full.size(), c.fullPackets);
        for (const auto& p : full) EXPECT_EQ(p.size(), UsbAdapterModel::kPacketBytes);
        EXPECT_FALSE(adapter.due(t0 + 15ms));
        const auto late = adapter.due(t0 + 16ms);
        EXPECT_EQ(late ? late->size() : 0u, c.held);
        EXPECT_FALSE(adapter.deadline());
    }
}

TEST(UsbAdapterModel, TheTimerStartsAtThePacketsFirstByte) {
    UsbAdapterModel adapter(16ms);
    const Clock::time_point t0{};
    const std::uint8_t b = 0xFC;
    adapter.arrive(&b, 1, t0);
    adapter.arrive(&b, 1, t0 + 10ms);
    EXPECT_EQ(adapter.deadline(), t0 + 16ms);
    ASSERT_TRUE(adapter.due(t0 + 16ms));
    adapter.arrive(&b, 1, t0 + 20ms);
    EXPECT_EQ(adapter.deadline(), t0 + 36ms);
}

TEST(UsbAdapterModel, HoldsAnAnswersLastPacketForItsTimerLessTheWireTimeOfItsOtherBytes) {
    EXPECT_EQ(UsbAdapterModel::holdMicros(1, 115200, 16ms), 16000u);
    EXPECT_EQ(UsbAdapterModel::holdMicros(124, 115200, 16ms), 0u);            // two full packets
    EXPECT_EQ(UsbAdapterModel::holdMicros(125, 115200, 32ms), 32000u);        // one byte left over
    EXPECT_EQ(UsbAdapterModel::holdMicros(11, 19200, 16ms), 16000u - 5208u);  // 10 more bytes on the wire
    EXPECT_EQ(UsbAdapterModel::holdMicros(61, 19200, 16ms), 0u);              // the wire is slower than the timer
}

}  // namespace
}  // namespace varnel
