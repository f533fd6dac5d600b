#include <gtest/gtest.h>

#include "link_wait_gaps.h"

namespace varnel {
namespace {

// Repainting and Cancel need the event loop: while the link waits it must
// turn at least every 50 ms, through the half-second announce reads of a
// connect to a silent tracker and through the erase/write/verify replies of
// a settings write.
TEST(LinkWaits, TheEventLoopTurnsAtLeastEvery50Ms) {
    const bench::WaitGap connect = bench::gapDuringSilentConnect(1500);
    EXPECT_EQ(connect.result, -2);  // cancelled, as with the Cancel button
    EXPECT_GT(connect.turns, 30);
    EXPECT_LT(connect.longestGapMs, 50.0);

    const bench::WaitGap write = bench::gapDuringSettingsWrite();
    EXPECT_EQ(write.result, 0);
    EXPECT_GT(write.turns, 5);
    EXPECT_LT(write.longestGapMs, 50.0);
}

}  // namespace
}  // namespace varnel
