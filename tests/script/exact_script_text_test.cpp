#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "script/code_listing_reader.h"
#include "script/exact_script_text.h"
#include "script/script_compiler.h"
#include "script/script_file_operations.h"
#include "script/script_opcodes.h"
#include "session/config_file.h"
#include "session/session.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes areaTest(std::size_t length) {
    Bytes b(length + 2, 0x11);
    b[0] = script_op::kIfInArea;
    b[1] = static_cast<std::uint8_t>(length);
    return b;
}

Bytes corners(std::initializer_list<std::uint32_t> angles) {
    Bytes b = {script_op::kIfInArea, 0x10};
    for (std::uint32_t a : angles)
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(a >> shift));
    return b;
}

TEST(ExactStatementLine, EveryStoredStatementReadsBackToItsBytes) {
    struct Case {
        Bytes bytes;
        std::string line;
    };
    std::string longAreaLine = "Bytes df e1";
    for (int i = 0; i < 0xE1; ++i) longAreaLine += " 11";
    const Case cases[] = {
        // Lines the editor's own text carries stay as the editor shows them.
        {{0xAB, 0xFC, 0x04}, "If Flags xx100000"},
        {{0x5C, 0x03, 'l', 's', 0x00}, "Exec \"ls\""},
        {{0x5A, 0x03, 0x0A, 0x01, 0x00}, "PrintA \"\\n\\x01\""},
        {corners({0x1CCCCCCC, 0xB5555556, 0x1CCCCCCC, 0xB5555556}),
         "If In Area (40.50000,-105.00000)(40.50000,-105.00000)"},
        // Corners typed in minutes (39 59.5 N, 105 0.25 W, 33 59.5 S, 151 0.25 E)
        // need more than five decimals to come back to the same angle.
        {corners({0x1C7042BF, 0xB5549328, 0xE7D40185, 0x6B617839}),
         "If In Area (39.9916666,-105.0041666)(-33.99166666,151.00416665)"},
        {corners({0x0000C22E, 0xFF4B78FC, 0x00000000, 0x80000000}),
         "If In Area (0.0041667,-0.9916667)(0.00000,-180.00000004)"},  // -180 itself stores as 0x80000001
        // A value bit outside the care mask.
        {{0xAB, 0x23, 0x80}, "Bytes ab 23 80"},
        // An empty text without even its closing 0x00.
        {{0x5B, 0x00}, "Bytes 5b 00"},
        // An area test with more than its four corners.
        {areaTest(0xE1), longAreaLine},
        // A text whose closing byte is not 0x00.
        {{0x5C, 0x04, 'l', ',', 0x00, 0x81}, "Bytes 5c 04 6c 2c 00 81"},
        // Control bytes in texts the editor stores as typed.
        {{0x5C, 0x04, 'a', 0x0A, 'b', 0x00}, "Escaped Exec \"a\\nb\""},
        {{0xDD, 0x05, 'G', 'O', '\\', 0xC8, 0x00}, "Escaped Macro \"GO\\\\\\xc8\""},
        // A macro name that the Macro Write line would swallow.
        {{0xDD, 0x0A, 'W', 'r', 'i', 't', 'e', ' ', '"', 'x', '"', 0x00}, "Escaped Macro \"Write \"x\"\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 60));
        EXPECT_EQ(exactStatementLine(c.bytes), c.line);
        ScriptStatement back;
        std::string reason;
        ASSERT_TRUE(readCodeLine(c.line, back, reason)) << reason;
        EXPECT_EQ(back.bytes, c.bytes);
    }
}

TEST(ExactStatementLine, BytesLinesMustHoldOneWholeStatement) {
    for (const char* line : {"Bytes", "Bytes ", "Bytes 5", "Bytes 5bx", "Bytes 5b 0", "Bytes ff", "Bytes 02",
                             "Bytes 15", "Bytes 15 00 00", "Bytes 5b 02 41", "Bytes df 0e 00 00"}) {
        ScriptStatement s;
        std::string reason;
        EXPECT_FALSE(readCodeLine(line, s, reason)) << line;
        if (std::string_view(line).size() > 5) {
            EXPECT_EQ(reason, kBadBytesLineMessage) << line;
        }
    }
}

// Random stored programs, with the kinds of damage foreign data carries:
// each statement's operand bytes are random (length bytes included, so texts
// may lack their 0x00 and area tests carry extra bytes), texts mix printable
// and control bytes, and some areas end in an unknown opcode and garbage
// instead of the terminator.
ScriptArea randomArea(std::mt19937& rng, std::size_t& programSize) {
    auto byte = [&] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    auto chance = [&](unsigned percent) { return rng() % 100 < percent; };
    const std::size_t kinds = static_cast<std::size_t>(statementTableEnd() - statementTableBegin());
    ScriptArea area;
    area.bytes.fill(0xFF);
    std::size_t pos = 0;
    for (;;) {
        const StatementInfo& info = statementTableBegin()[rng() % kinds];
        Bytes s{info.opcode};
        if (info.size != 0) {
            while (s.size() < info.size) s.push_back(byte());
        } else {
            const bool isArea = info.layout == OperandLayout::Area;
            const std::size_t n =
                isArea ? (chance(80) ? 16 : 16 + rng() % 240) : (chance(90) ? rng() % 30 : rng() % 256);
            s.push_back(static_cast<std::uint8_t>(n));
            for (std::size_t i = 0; i < n; ++i)
                s.push_back(isArea || chance(30) ? byte() : static_cast<std::uint8_t>(0x20 + rng() % 95));
            if (!isArea && n > 0 && chance(85)) s.back() = 0x00;
        }
        if (pos + s.size() > 511) break;
        std::copy(s.begin(), s.end(), area.bytes.begin() + static_cast<std::ptrdiff_t>(pos));
        pos += s.size();
    }
    programSize = pos;
    if (chance(25)) {
        // An opcode the firmware does not know ends the listing there.
        std::uint8_t unknown;
        do unknown = byte();
        while (findStatement(unknown) || unknown == script_op::kEndOfProgram);
        area.bytes[pos] = unknown;
        for (std::size_t i = pos + 1; i < area.bytes.size(); ++i) area.bytes[i] = byte();
    }
    return area;
}

TEST(ExactScriptText, RandomStoredProgramsListAndCompileBackByteForByte) {
    namespace fs = std::filesystem;
    const fs::path file = fs::temp_directory_path() / ("varnel-exact-" + std::to_string(::getpid()) + ".cfg");
    std::mt19937 rng(20261208);
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::size_t programSize = 0;
        Session s;
        s.link.chipName = "JM60";
        s.link.deviceInfo.deviceId = "JM60";
        selectTarget(s.target, "JM60");
        s.script = randomArea(rng, programSize);
        test::RecordingUi ui;
        ASSERT_EQ(saveConfigFile(file.string(), s, ConfigFlavour::Tracker, ui), 0);

        std::vector<std::string> lines;
        ASSERT_EQ(configScriptLines(file.string(), lines, ui), 0);
        std::string text;
        for (const auto& l : lines) text += l + "\n";
        std::vector<Bytes> statements;
        ASSERT_EQ(readCodeListingStatements(text, statements, ui), 0) << text;
        ScriptBuffer compiled;
        ASSERT_EQ(compileScript(statements, compiled, ui), static_cast<int>(programSize) + 1);

        ScriptBuffer expected;
        expected.fill(0xFF);
        std::copy(s.script.bytes.begin(), s.script.bytes.begin() + static_cast<std::ptrdiff_t>(programSize),
                  expected.begin());
        ASSERT_EQ(compiled, expected) << text;
        EXPECT_TRUE(ui.messages.empty());
    }
    fs::remove(file);
}

}  // namespace
}  // namespace varnel
