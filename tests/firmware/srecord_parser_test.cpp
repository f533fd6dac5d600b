#include <gtest/gtest.h>

#include <memory>

#include "firmware/srecord_builder.h"
#include "firmware/srecord_parser.h"

namespace varnel {
namespace {

using test::srecord;
using Kind = SRecordLineResult::Kind;

struct ParserTest : ::testing::Test {
    std::unique_ptr<FlashImage> image = std::make_unique<FlashImage>();

    SRecordLineResult feed(const std::string& line, SRecordRules rules = SRecordRules::file()) {
        SRecordParser parser(*image, rules);
        return parser.feedLine(line);
    }
    bool untouched() const { return !image->touchedSpan().has_value(); }
};

TEST_F(ParserTest, DataRecordsOfEachTypeStoreAndMarkTheirBytes) {
    struct Row {
        char type;
        std::uint32_t address;
    };
    const Row rows[] = {{'1', 0x8000}, {'1', 0xFFFE}, {'2', 0x1F000}, {'2', 0x3FFFD}, {'3', 0x20000}, {'3', 0x00100}};
    for (const auto& r : rows) {
        image->reset();
        const auto result = feed(srecord(r.type, r.address, {0x12, 0xAB, 0x00}) + "\r\n");
        ASSERT_EQ(result.kind, Kind::Continue) << r.type << std::hex << r.address << result.message;
        EXPECT_EQ(image->bytes[r.address], 0x12);
        EXPECT_EQ(image->bytes[r.address + 1], 0xAB);
        EXPECT_EQ(image->bytes[r.address + 2], 0x00);
        const auto span = image->touchedSpan();
        ASSERT_TRUE(span);
        EXPECT_EQ(span->first, r.address);
        EXPECT_EQ(span->second, r.address + 3);
        EXPECT_EQ(image->touched[r.address], kTouchedData);
    }
}

TEST_F(ParserTest, LowerCaseDigitsAndAnEmptyDataRecordAreAccepted) {
    EXPECT_EQ(feed("s1" + std::string("x")).kind, Kind::Continue);  // 's' is not a record at all
    EXPECT_EQ(feed("S1058000abcd02\n").kind, Kind::Continue);
    EXPECT_EQ(image->bytes[0x8000], 0xAB);
    EXPECT_EQ(image->bytes[0x8001], 0xCD);
    image->reset();
    EXPECT_EQ(feed(srecord('1', 0x9000, {})).kind, Kind::Continue);
    EXPECT_TRUE(untouched());
}

TEST_F(ParserTest, HeaderCountAndForeignLinesAreIgnored) {
    for (const std::string& line :
         {srecord('0', 0, {'h', 'i'}), srecord('5', 3, {}), std::string("S4garbage"), std::string("S6"),
          std::string("SX1234"), std::string(""), std::string("S"), std::string("\n"),
          std::string("; comment S1130000"), std::string(" S1058000ABCD48")}) {
        EXPECT_EQ(feed(line).kind, Kind::Continue) << line;
    }
    EXPECT_TRUE(untouched());
}

TEST_F(ParserTest, EndRecordsStopWithoutBeingParsed) {
    for (const char* line : {"S9030000FC", "S70500000000FA", "S804000000FB", "S9 not even hex", "S8"})
        EXPECT_EQ(feed(line).kind, Kind::End) << line;
    EXPECT_TRUE(untouched());
}

TEST_F(ParserTest, MalformedRecordsFailAsReadErrors) {
    const std::string good = srecord('1', 0x8000, {0x01, 0x02});  // S1058000010277
    const std::string rows[] = {
        "S1",              // nothing after the type
        "S1ZZ8000010277",  // count not hex
        "S105",            // no address
        "S105zzzz010277",  // address not hex
        "S1-18000010277",  // a signed count wraps to a huge value
        "S10280007D",      // count 2 leaves no room for the address and checksum
        "S1008000",        // count 0
        "S1058000GG0277",  // bad data digit
        "S1058000-10277",  // a signed data byte is not a byte
        "S10580000102",    // checksum missing
        "S1058000010278",  // checksum wrong
        "S1138000",        // line ends where 16 data bytes should follow
        "S1 1 2",          // blanks shift the scan; the fixed data offset runs off the line
    };
    EXPECT_EQ(feed(good).kind, Kind::Continue);
    for (const auto& line : rows) {
        const auto r = feed(line);
        EXPECT_EQ(r.kind, Kind::Error) << line;
        EXPECT_EQ(r.message, "Error reading firmware file") << line;
    }
}

TEST_F(ParserTest, BytesAreStoredBeforeTheChecksumIsTested) {
    std::string line = srecord('1', 0x8100, {0xDE, 0xAD});
    line.back() = line.back() == '0' ? '1' : '0';
    ASSERT_EQ(feed(line).kind, Kind::Error);
    EXPECT_EQ(image->bytes[0x8100], 0xDE);
    EXPECT_EQ(image->bytes[0x8101], 0xAD);
    EXPECT_EQ(image->touched[0x8101], kTouchedData);

    // A bad digit in the middle keeps the bytes before it.
    image->reset();
    ASSERT_EQ(feed("S1068200AAxxCC00").kind, Kind::Error);
    EXPECT_EQ(image->bytes[0x8200], 0xAA);
    EXPECT_EQ(image->touched[0x8200], kTouchedData);
    EXPECT_EQ(image->touched[0x8201], kUntouched);
}

TEST_F(ParserTest, AddressLimitsOfFilesAndDownloads) {
    struct Row {
        const char* what;
        SRecordRules rules;
        char type;
        std::uint32_t address;
        std::size_t size;
        Kind kind;
    };
    const Row rows[] = {
        {"file S2 at the end of flash", SRecordRules::file(), '2', 0x3FFFF, 1, Kind::Continue},
        {"file S2 past flash", SRecordRules::file(), '2', 0x40000, 1, Kind::Error},
        {"file S2 running past flash", SRecordRules::file(), '2', 0x3FFFE, 3, Kind::Error},
        {"file S3 at the skip limit", SRecordRules::file(), '3', 0x20000, 2, Kind::Continue},
        {"download S1 at the top", SRecordRules::network(), '1', 0xFFFE, 2, Kind::Continue},
        {"download S2 above 64K", SRecordRules::network(), '2', 0x10000, 1, Kind::Error},
        {"download S3 above 64K", SRecordRules::network(), '3', 0x10000, 1, Kind::Error},
        {"download S3 is never skipped", SRecordRules::network(), '3', 0x20001, 1, Kind::Error},
    };
    for (const auto& r : rows) {
        image->reset();
        const auto result = feed(srecord(r.type, r.address, std::vector<std::uint8_t>(r.size, 0x5A)), r.rules);
        EXPECT_EQ(result.kind, r.kind) << r.what;
        if (r.kind == Kind::Error) {
            EXPECT_EQ(result.message, "Address out of range in firmware file") << r.what;
            EXPECT_TRUE(untouched()) << r.what;  // nothing is stored from a record that does not fit
        } else {
            EXPECT_EQ(image->bytes[r.address + r.size - 1], 0x5A) << r.what;
        }
    }
}

TEST_F(ParserTest, FileS3RecordsAboveTheSkipLimitArePassedOverSilently) {
    EXPECT_EQ(feed(srecord('3', 0x20001, {1, 2, 3})).kind, Kind::Continue);
    // Skipped before any data is looked at, so even a broken one passes.
    EXPECT_EQ(feed("S30900030000ZZZZZZZZ").kind, Kind::Continue);
    EXPECT_EQ(feed("S30900FFFFFF").kind, Kind::Continue);
    EXPECT_TRUE(untouched());
}

}  // namespace
}  // namespace varnel
