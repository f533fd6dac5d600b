#include <gtest/gtest.h>

#include <algorithm>

#include "script/code_listing_reader.h"
#include "script/script_compiler.h"
#include "script/script_lister.h"
#include "script/script_opcodes.h"
#include "script/text_escape.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using Bytes = std::vector<std::uint8_t>;

ScriptArea areaOf(const Bytes& program) {
    ScriptArea area;
    area.bytes.fill(0xFF);
    std::copy(program.begin(), program.end(), area.bytes.begin());
    return area;
}

struct StatementCase {
    Bytes bytes;
    const char* line;
};

// One of every statement the firmware knows, with the line the editor shows.
const std::vector<StatementCase> kEveryStatement = {
    {{0x00}, "End Block"},
    {{0x03}, "Else"},
    {{0x04}, "Quick"},
    {{0x14, 0x09}, "Decrement Altitude"},
    {{0x15, 0x00}, "Increment Counter 1"},
    {{0x16, 0x81}, "Set Flags 10000001"},
    {{0x17, 0x02}, "Clear Flags 01000000"},
    {{0x18, 0xFF}, "Toggle Flags 11111111"},
    {{0x28, 0x04, 0x07}, "Set TX Counter = Last Digi"},
    {{0x3C, 0x00, 0x03, 0xE8}, "Set Counter 1 = 1000"},
    {{0x50, 0x12, 0x34, 0xFF, 0x01}, "Poke 4660, 1&255"},
    {{0x5A, 0x04, 'A', 'A', 0x0A, 0x00}, "PrintA \"AA\\n\""},
    {{0x5B, 0x05, '\\', '"', 0x01, 0xE9, 0x00}, "PrintB \"\\\\\"\\x01\\xe9\""},
    {{0x5C, 0x04, 'l', 's', '"', 0x00}, "Exec \"ls\"\""},
    {{0x5E, 0x01, 0x00}, "Macro Write \"\""},
    {{0x80}, "On Startup"},
    {{0x81}, "On Second"},
    {{0x82}, "If Profile 1"},
    {{0x83}, "If Profile 2"},
    {{0x84}, "On Interrupt"},
    {{0x85}, "On GPS Fix"},
    {{0x86}, "Do Once"},
    {{0xA8, 0x05, 0x06}, "If Second = Pulse Count"},
    {{0xA9, 0x01, 0x02}, "If Counter 2 < Counter 3"},
    {{0xAA, 0x03, 0x08}, "If Ticks > Last Fix"},
    {{0xAB, 0xFC, 0x04}, "If Flags xx100000"},
    {{0xBC, 0x00, 0xFF, 0xFF}, "If Counter 1 = 65535"},
    {{0xBD, 0x09, 0x00, 0x00}, "If Altitude < 0"},
    {{0xBE, 0x02, 0x01, 0x00}, "If Counter 3 > 256"},
    {{0xD0, 0x00, 0x10, 0x80, 0x40}, "If Peek 16 and 128 = 64"},
    {{0xDD, 0x07, 'B', 'E', 'A', 'C', 'O', 'N', 0x00}, "Macro BEACON"},
    {{0xDF, 0x10, 0x1C, 0xCC, 0xCC, 0xCC, 0xB5, 0x55, 0x55, 0x56, 0x1B, 0xFF, 0xFF, 0xFF, 0xB4, 0xE8, 0x1B, 0x4F},
     "If In Area (40.50000,-105.00000)(39.37500,-105.60000)"},
    // A stored variable index the firmware has no name for keeps its byte.
    {{0x15, 0x0C}, "Increment Var 12"},
    {{0xA8, 0x0A, 0xFF}, "If Var 10 = Var 255"},
};

TEST(ScriptStatements, EveryKindListsAndReadsBackByteForByte) {
    // The whole table is one program: list it, then read each listed line back.
    Bytes program;
    for (const auto& c : kEveryStatement) program.insert(program.end(), c.bytes.begin(), c.bytes.end());
    ASSERT_LT(program.size(), 512u);
    auto lines = listScript(areaOf(program));
    ASSERT_EQ(lines.size(), kEveryStatement.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(kEveryStatement[i].line);
        EXPECT_EQ(lines[i].bytes, kEveryStatement[i].bytes);
        EXPECT_EQ(lines[i].text, kEveryStatement[i].line);
        ScriptStatement back;
        std::string reason;
        ASSERT_TRUE(readCodeLine(lines[i].text, back, reason)) << reason;
        EXPECT_EQ(back.bytes, kEveryStatement[i].bytes);
        EXPECT_EQ(back.text, kEveryStatement[i].line);
    }
}

TEST(ScriptStatements, EveryOpcodeOfTheTableIsCovered) {
    for (auto* info = statementTableBegin(); info != statementTableEnd(); ++info) {
        bool found = std::any_of(kEveryStatement.begin(), kEveryStatement.end(),
                                 [&](const StatementCase& c) { return c.bytes[0] == info->opcode; });
        EXPECT_TRUE(found) << "opcode " << int{info->opcode};
    }
}

TEST(ScriptStatements, AreaCornersEncodeAsBinaryAngles) {
    auto s = areaStatement(40.5, -105.0, 180.0, -180.0);
    ASSERT_EQ(s.bytes.size(), 18u);
    EXPECT_EQ(Bytes(s.bytes.begin(), s.bytes.begin() + 10),
              (Bytes{0xDF, 0x10, 0x1C, 0xCC, 0xCC, 0xCC, 0xB5, 0x55, 0x55, 0x56}));
    // 180 degrees is 2147483647, -180 is -2147483647.
    EXPECT_EQ(Bytes(s.bytes.begin() + 10, s.bytes.end()), (Bytes{0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x01}));
    EXPECT_EQ(s.text, "If In Area (40.50000,-105.00000)(180.00000,-180.00000)");
}

TEST(ScriptStatements, AreaLinesAreAFixedPointAfterOneReading) {
    // Corners typed in minutes seldom have a five-decimal form; what matters is
    // that list, read, list settles at once.
    auto first = areaStatement(51.0 + 28.123 / 60, -(0.0 + 7.77 / 60), -(33.0 + 51.5 / 60), 151.0 + 12.9 / 60);
    ScriptStatement read1, read2;
    std::string reason;
    ASSERT_TRUE(readCodeLine(first.text, read1, reason));
    auto listed = listScript(areaOf(read1.bytes));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].text, first.text);
    ASSERT_TRUE(readCodeLine(listed[0].text, read2, reason));
    EXPECT_EQ(read2.bytes, read1.bytes);
}

TEST(CompileScript, FillsWithErasedBytesAndTerminates) {
    test::RecordingUi ui;
    ScriptBuffer buffer;
    buffer.fill(0x00);
    EXPECT_EQ(compileScript({}, buffer, ui), 1);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xFF; }));

    EXPECT_EQ(compileScript({{0x81}, {0x3C, 0x00, 0x03, 0xE8}, {0x00}}, buffer, ui), 7);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 8), (Bytes{0x81, 0x3C, 0x00, 0x03, 0xE8, 0x00, 0xFF, 0xFF}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(CompileScript, CapacityIs511StatementBytes) {
    test::RecordingUi ui;
    ScriptBuffer buffer;
    // 255 Decrement statements (510 bytes) and one Quick: exactly 511.
    std::vector<Bytes> statements(255, Bytes{0x14, 0x00});
    statements.push_back({0x04});
    EXPECT_EQ(compileScript(statements, buffer, ui), 512);
    EXPECT_EQ(buffer[510], 0x04);
    EXPECT_EQ(buffer[511], 0xFF);
    EXPECT_TRUE(ui.messages.empty());

    statements.push_back({0x04});
    EXPECT_EQ(compileScript(statements, buffer, ui), 0);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Out of script storage space!"});
    // What fitted stays, followed by erased bytes.
    EXPECT_EQ(buffer[510], 0x04);
    EXPECT_EQ(buffer[511], 0xFF);
}

TEST(ListScript, EmptyAndErasedAreasListNothing) {
    ScriptArea zeros;
    EXPECT_TRUE(listScript(zeros).empty());
    EXPECT_TRUE(listScript(areaOf({})).empty());

    ScriptArea leadingZeros;
    leadingZeros.bytes[2] = 0x04;
    leadingZeros.bytes[3] = 0xFF;
    auto lines = listScript(leadingZeros);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "End Block");
    EXPECT_EQ(lines[1].text, "End Block");
    EXPECT_EQ(lines[2].text, "Quick");
}

TEST(ListScript, StopsAtWhatItCannotRead) {
    struct Case {
        const char* name;
        Bytes program;
        std::size_t lines;
    };
    const Case cases[] = {
        {"unknown opcode", {0x81, 0x15, 0x00, 0x07, 0x15, 0x01, 0x00}, 2},
        {"unknown opcode between text kinds", {0x5D, 0x02, 0x41, 0x00}, 0},
        {"area with short length", {0x04, 0xDF, 0x08, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listScript(areaOf(c.program)).size(), c.lines);
    }
}

TEST(ListScript, NeverReadsPastTheArea) {
    // A text statement near the end whose length byte claims more than is left.
    ScriptArea area;
    area.bytes.fill(0x04);  // Quick everywhere
    area.bytes[500] = 0x5A;
    area.bytes[501] = 0x20;  // 34 bytes, only 12 left
    auto lines = listScript(area);
    EXPECT_EQ(lines.size(), 500u);

    // An opcode in the very last byte whose length byte would lie outside.
    area.bytes.fill(0x04);
    area.bytes[511] = 0xDD;
    EXPECT_EQ(listScript(area).size(), 511u);

    // A fixed-size statement cut by the end of the area.
    area.bytes.fill(0x04);
    area.bytes[509] = 0x50;
    EXPECT_EQ(listScript(area).size(), 509u);
}

TEST(ListScript, UnknownOpcodeDropsTheRestOnRecompile) {
    test::RecordingUi ui;
    auto lines = listScript(areaOf({0x81, 0x15, 0x00, 0x07, 0x15, 0x01, 0x00}));
    std::vector<Bytes> statements;
    for (const auto& l : lines) statements.push_back(l.bytes);
    ScriptBuffer buffer;
    EXPECT_EQ(compileScript(statements, buffer, ui), 4);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), (Bytes{0x81, 0x15, 0x00, 0xFF}));
}

TEST(TextEscapes, TypedTextToStoredBytes) {
    struct Case {
        const char* typed;
        Bytes stored;  // without the closing 0x00
    };
    const Case cases[] = {
        {"A\\x41\\n", {'A', 'A', 0x0A}},
        {"\\a\\b\\t\\n\\r", {0x07, 0x08, 0x09, 0x0A, 0x0D}},
        {"\\xfF\\x00", {0xFF, 0x00}},
        {"\\\\ \\\" \\q", {'\\', ' ', '"', ' ', 'q'}},
        {"\\x414", {'A', '4'}},  // only two digits are taken
        // Half-typed escapes keep what was typed.
        {"end\\", {'e', 'n', 'd', '\\'}},
        {"\\x7g", {0x07, 'g'}},
        {"\\x", {'x'}},
        {"\\xg1", {'x', 'g', '1'}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Bytes expected = c.stored;
        expected.push_back(0x00);
        EXPECT_EQ(unescapeText(c.typed), expected);
    }
}

TEST(TextEscapes, StoredBytesToShownTextAndBack) {
    Bytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
    std::string shown = escapeText(all.data(), all.size());
    EXPECT_EQ(shown.substr(0, 12), "\\x00\\x01\\x02");
    EXPECT_NE(shown.find("\\a\\b\\t\\n\\x0b\\x0c\\r"), std::string::npos);
    EXPECT_NE(shown.find(" !\"#"), std::string::npos);
    EXPECT_NE(shown.find("[\\\\]"), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 8), "\\xfe\\xff");
    Bytes back = unescapeText(shown);
    back.pop_back();
    EXPECT_EQ(back, all);
}

}  // namespace
}  // namespace varnel
