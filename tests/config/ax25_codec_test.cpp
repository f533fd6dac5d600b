#include <gtest/gtest.h>

#include "config/ax25_codec.h"

namespace varnel {
namespace {

AddressField shifted(const char (&six)[7], std::uint8_t ssidByte) {
    AddressField f{};
    for (int i = 0; i < 6; ++i) f[i] = static_cast<std::uint8_t>(six[i] << 1);
    f[6] = ssidByte;
    return f;
}

TEST(EncodeAddress, AcceptedTexts) {
    struct Row {
        const char* text;
        AddressField field;
        const char* decoded;
    };
    const Row rows[] = {
        {"w1aw-5", shifted("W1AW  ", 0x6A), "W1AW-5"},
        {"W1AW", shifted("W1AW  ", 0x60), "W1AW"},
        {"W1AW-0", shifted("W1AW  ", 0x60), "W1AW"},
        {"W1AW-", shifted("W1AW  ", 0x60), "W1AW"},  // no digits: SSID 0
        {"W1AW-15", shifted("W1AW  ", 0x7E), "W1AW-15"},
        {"W1AW-05", shifted("W1AW  ", 0x6A), "W1AW-5"},
        {"AB1CDE-9", shifted("AB1CDE", 0x72), "AB1CDE-9"},  // six characters fill the field
        {"", shifted("      ", 0x60), ""},
        {"-3", shifted("      ", 0x66), "-3"},
    };
    for (const auto& r : rows) {
        AddressField out{};
        ASSERT_TRUE(encodeAddress(r.text, out)) << r.text;
        EXPECT_EQ(out, r.field) << r.text;
        EXPECT_EQ(decodeAddress(out.data()), r.decoded) << r.text;
    }
}

TEST(EncodeAddress, RefusedTextsLeaveTheFieldAlone) {
    using R = AddressRefusal;
    const std::pair<const char*, AddressRefusal> rows[] = {{"W1AW-16", R::SsidRange},
                                                           {"W1AW-99999999999999999999", R::SsidRange},
                                                           {"W1AW/M", R::BadCharacter},
                                                           {"W1 AW", R::BadCharacter},
                                                           {"W1AW_5-1", R::BadCharacter},
                                                           {"ÄB1", R::BadCharacter},
                                                           // seven or more callsign characters do not fit the six bytes
                                                           {"ABCDEFG", R::CallsignLength},
                                                           {"ABCDEFGHI-1", R::CallsignLength},
                                                           // a second minus sign makes the SSID negative
                                                           {"W1AW--1", R::SsidRange},
                                                           {"W1AW--15", R::SsidRange},
                                                           // text after the SSID would be lost: W1AW-7xyz is not W1AW-7
                                                           {"W1AW-7xyz", R::TextAfterSsid},
                                                           {"WIDE2-2-1", R::TextAfterSsid},
                                                           {"WIDE1-1WIDE2-1", R::TextAfterSsid},
                                                           {"W1AW-7 ", R::TextAfterSsid},
                                                           {"W1AW- 5", R::TextAfterSsid},
                                                           {"W1AW-+5", R::TextAfterSsid}};
    for (const auto& [text, why] : rows) {
        AddressField out;
        out.fill(0xA5);
        EXPECT_EQ(encodeAddressChecked(text, out), why) << text;
        EXPECT_FALSE(encodeAddress(text, out)) << text;
        EXPECT_EQ(out[0], 0xA5) << text;
        EXPECT_EQ(out[6], 0xA5) << text;
    }
}

TEST(DecodeAddress, EndsAtTheFirstSpaceAndIgnoresFlagBits) {
    const AddressField split = shifted("AB CD ", 0x60);
    EXPECT_EQ(decodeAddress(split.data()), "AB");
    // Bits 0, 5, 6 and 7 of the SSID byte carry no SSID; bit 0 of a character
    // is ignored too.
    AddressField flagged = shifted("N0CALL", 0x80 | 0x01 | (3 << 1));
    flagged[0] |= 0x01;
    EXPECT_EQ(decodeAddress(flagged.data()), "N0CALL-3");
    const AddressField noFlags = shifted("N0CALL", 0x1E);
    EXPECT_EQ(decodeAddress(noFlags.data()), "N0CALL-15");
}

TEST(EncodePath, Paths) {
    struct Row {
        const char* text;
        int count;
        std::vector<std::uint8_t> ssidBytes;
        const char* decoded;
    };
    const Row rows[] = {
        {"WIDE1-1,WIDE2-1", 14, {0x62, 0x63}, "WIDE1-1,WIDE2-1"},
        {"WIDE2-2", 7, {0x65}, "WIDE2-2"},
        {"RELAY,WIDE,TRACE3-3", 21, {0x60, 0x60, 0x67}, "RELAY,WIDE,TRACE3-3"},
        {"A,B,C,D", 28, {0x60, 0x60, 0x60, 0x61}, "A,B,C,D"},  // the caller limits the length
        {"WIDE1-1,WIDE2-10", 14, {0x62, 0x75}, "WIDE1-1,WIDE2-10"},
    };
    for (const auto& r : rows) {
        std::vector<std::uint8_t> out;
        ASSERT_EQ(encodePath(r.text, out), r.count) << r.text;
        ASSERT_EQ(out.size(), static_cast<std::size_t>(r.count)) << r.text;
        for (std::size_t i = 0; i < r.ssidBytes.size(); ++i) EXPECT_EQ(out[i * 7 + 6], r.ssidBytes[i]) << r.text;
        EXPECT_EQ(decodePath(out.data(), out.size(), out.size()), r.decoded) << r.text;
    }
    std::vector<std::uint8_t> out{1, 2, 3};
    EXPECT_EQ(encodePath("", out), 0);
    EXPECT_TRUE(out.empty());
}

TEST(EncodePath, RefusedPathsLeaveTheOutputAlone) {
    using R = AddressRefusal;
    struct Row {
        const char* text;
        AddressRefusal why;
        std::size_t element;
    };
    const Row rows[] = {{"WIDE1-1,WIDE22-1234", R::SsidRange, 1},
                        {"WIDE1-1,W1AW/M", R::BadCharacter, 1},
                        {"W1AW-16", R::SsidRange, 0},
                        {"WIDE1-1,WIDE2--1", R::SsidRange, 1},
                        {"TOOLONGCALL,WIDE1-1", R::CallsignLength, 0},  // ten characters before a comma
                        {"WIDE1-1,ABCDEFG", R::CallsignLength, 1},      // seven callsign characters at the end
                        // an empty element would go on air as an all-space address
                        {"WIDE1-1,", R::EmptyElement, 1},
                        {"WIDE1-1,,WIDE2-1", R::EmptyElement, 1},
                        {",WIDE2-1", R::EmptyElement, 0},
                        {"WIDE1-1,-2", R::EmptyElement, 1},
                        // "WIDE1-1 WIDE2-1" with its space removed is one element, not two hops
                        {"WIDE1-1WIDE2-1", R::TextAfterSsid, 0},
                        {"WIDE1-1;WIDE2-1", R::TextAfterSsid, 0}};
    for (const auto& r : rows) {
        std::vector<std::uint8_t> out{9, 9};
        AddressRefusal why = R::None;
        std::size_t element = 99;
        EXPECT_EQ(encodePath(r.text, out, &why, &element), -1) << r.text;
        EXPECT_EQ(why, r.why) << r.text;
        EXPECT_EQ(element, r.element) << r.text;
        EXPECT_EQ(out, (std::vector<std::uint8_t>{9, 9})) << r.text;
    }
}

TEST(DecodePath, StaysInsideTheSlotAndTheStoredLength) {
    // Eight fields, none marked last, as damaged flash may hold them: only the
    // slot's whole fields within the stored length may be shown.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 8; ++i) {
        AddressField f{};
        ASSERT_TRUE(encodeAddress("D" + std::to_string(i), f));
        bytes.insert(bytes.end(), f.begin(), f.end());
    }
    struct Row {
        std::size_t slot, length;
        bool endMarkOnThird;
        const char* shown;
    };
    const Row rows[] = {
        {21, 21, false, "D0,D1,D2"},                         // no end mark: the slot ends it
        {21, 42, false, "D0,D1,D2"},                         // a length beyond the slot
        {21, 14, false, "D0,D1"},    {21, 13, false, "D0"},  // a part field is not read
        {21, 6, false, ""},          {21, 0, false, ""},
        {56, 56, true, "D0,D1,D2"},  // the end mark ends it before the slot does
    };
    for (const auto& r : rows) {
        std::vector<std::uint8_t> b = bytes;
        if (r.endMarkOnThird) b[2 * 7 + 6] |= 0x01;
        EXPECT_EQ(decodePath(b.data(), r.slot, r.length), r.shown) << r.slot << "/" << r.length;
    }
}

}  // namespace
}  // namespace varnel
