#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "config/device_target.h"
#include "link/address_rules.h"

namespace varnel {
namespace {

// JM128's bootloader counts 4-byte units in the two-byte field; the others
// count bytes. Nothing may go out with an address the field cannot hold.
TEST(AddressRules, TheFieldAndTheSpanAWriteCoversByChip) {
    struct Row {
        TargetKind kind;
        std::uint32_t address;
        long field;  // -1: does not fit
    };
    const Row fields[] = {
        {KindJM128, 0x1F000, 0x7C00}, {KindJM128, 0x1F003, 0x7C00}, {KindJM128, 0x3FFFC, 0xFFFF},
        {KindJM128, 0x40000, -1},     {KindAP64, 0xF400, 0xF400},   {KindAP64, 0xFFFF, 0xFFFF},
        {KindAP64, 0x10000, -1},      {KindKX8, 0x1F003, -1},
    };
    for (const Row& r : fields) {
        const AddressRules rules(r.kind);
        EXPECT_EQ(rules.field(r.address), r.field) << std::hex << r.address;
        if (r.field >= 0) {
            const std::uint32_t unitStart = r.address / rules.unit() * rules.unit();
            EXPECT_EQ(rules.byteAddress(static_cast<std::uint32_t>(r.field)), unitStart);
        }
    }

    struct Span {
        TargetKind kind;
        std::uint32_t first, last;
        std::pair<std::uint32_t, std::uint32_t> sent;
    };
    const Span spans[] = {
        {KindJM128, 0x1F002, 0x1F007, {0x1F000, 0x1F008}},  // else it would land up to 3 bytes low
        {KindJM128, 0x1F000, 0x1F080, {0x1F000, 0x1F080}},
        {KindAP64, 0xF421, 0xF423, {0xF421, 0xF423}},
    };
    for (const Span& s : spans)
        EXPECT_EQ(AddressRules(s.kind).wholeUnits(s.first, s.last), s.sent) << std::hex << s.first;

    // 'V' lands at its offset (the staging area) and is read back there; 'W' at the image address.
    EXPECT_TRUE(AddressRules(KindJM128).writesChecked());
    EXPECT_EQ(AddressRules(KindJM128).readBackOffset(0x10000), 0x10000u);
    EXPECT_FALSE(AddressRules(KindAP64).writesChecked());
    EXPECT_EQ(AddressRules(KindAP64).readBackOffset(0x10000), 0u);
}

}  // namespace
}  // namespace varnel
