#include <gtest/gtest.h>

#include "config/device_target.h"
#include "script/code_listing_reader.h"
#include "script/script_editor_model.h"
#include "script/script_lister.h"
#include "script/script_compiler.h"
#include "script/script_listings.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t scriptAddressOf(const char* chip) { return findTarget(chip)->scriptAddress; }

TEST(PatchListing, SmallProgramOnAp64) {
    test::RecordingUi ui;
    EXPECT_EQ(patchListing({{0x81}, {0x15, 0x00}, {0x00}}, scriptAddressOf("AP64"), ui), "PATCH f6000581150000ff\r\n");
    EXPECT_EQ(patchListing({}, scriptAddressOf("AP64"), ui), "PATCH f60001ff\r\n");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(PatchListing, SplitsInto32ByteLines) {
    test::RecordingUi ui;
    struct Case {
        std::size_t statementBytes;  // one-byte Quick statements
        const char* chip;
        std::vector<std::string> heads;  // "PATCH address count" of each line
    };
    const Case cases[] = {
        {39, "AP64", {"PATCH f60020", "PATCH f62008"}},
        {31, "AW60", {"PATCH 087020"}},
        {32, "JM60", {"PATCH 10b020", "PATCH 10d001"}},
        {64, "JM128", {"PATCH 1f40020", "PATCH 1f42020", "PATCH 1f44001"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chip);
        std::string text = patchListing(std::vector<Bytes>(c.statementBytes, Bytes{0x04}), scriptAddressOf(c.chip), ui);
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find("\r\n", at);
            ASSERT_NE(end, std::string::npos);
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        ASSERT_EQ(lines.size(), c.heads.size());
        std::size_t dataBytes = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].substr(0, c.heads[i].size()), c.heads[i]);
            std::size_t count = std::stoul(c.heads[i].substr(c.heads[i].size() - 2), nullptr, 16);
            EXPECT_EQ(lines[i].size(), c.heads[i].size() + 2 * count);
            dataBytes += count;
        }
        EXPECT_EQ(dataBytes, c.statementBytes + 1);
        EXPECT_EQ(text.substr(text.size() - 4), "ff\r\n");
    }
}

TEST(PatchListing, ProgramTooLargeGivesAnEmptyListing) {
    test::RecordingUi ui;
    EXPECT_EQ(patchListing(std::vector<Bytes>(512, Bytes{0x04}), 0xF600, ui), "");
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Out of script storage space!"});
}

TEST(CodeListing, EditorLinesWithIndentation) {
    test::RecordingUi ui;
    ScriptArea area;
    area.bytes.fill(0xFF);
    std::uint8_t flags = 0;
    ScriptEditorModel m(area, flags, ui);
    EXPECT_EQ(codeListing(m.statementLines()), "");
    m.press(ScriptButton::OnSecond);
    m.press(ScriptButton::IfProfile1);
    m.press(ScriptButton::IncrementA);
    m.press(ScriptButton::EndBlock);
    m.press(ScriptButton::EndBlock);
    EXPECT_EQ(codeListing(m.statementLines()),
              "On Second\r\n  If Profile 1\r\n    Increment Counter 1\r\n  End Block\r\nEnd Block\r\n");
}

TEST(CodeListingReader, ListReadListIsAFixedPoint) {
    // A program as the tracker might hold it, listed through the editor,
    // read back and compiled again, gives the same bytes.
    test::RecordingUi ui;
    const Bytes program = {0x80, 0x3C, 0x02, 0x01, 0x2C, 0x00, 0x81, 0x15, 0x00, 0xBE, 0x00, 0x00, 0x3C, 0x5A,
                           0x06, 'H',  'i',  '\\', 'n',  0x0D, 0x00, 0x3C, 0x00, 0x00, 0x00, 0x03, 0x16, 0x01,
                           0x00, 0xDD, 0x03, 'G',  'O',  0x00, 0x50, 0x00, 0x20, 0x0F, 0xF0, 0x00, 0xFF};
    ScriptArea area;
    area.bytes.fill(0xFF);
    std::copy(program.begin(), program.end(), area.bytes.begin());
    std::uint8_t flags = 0;
    ScriptEditorModel first(area, flags, ui);
    const std::string listing = codeListing(first.statementLines());

    CodeListingResult read = readCodeListing(listing);
    ASSERT_EQ(read.errorLine, 0) << read.errorText;
    std::vector<Bytes> statements;
    for (const auto& s : read.statements) statements.push_back(s.bytes);
    ScriptBuffer buffer;
    ASSERT_EQ(compileScript(statements, buffer, ui), static_cast<int>(program.size()));
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + program.size()), program);

    ScriptArea again;
    std::copy(buffer.begin(), buffer.end(), again.bytes.begin());
    ScriptEditorModel second(again, flags, ui);
    EXPECT_EQ(codeListing(second.statementLines()), listing);
}

TEST(CodeListingReader, RefusesWhatIsNotAStatement) {
    const char* bad[] = {
        "On Seconds",
        "Increment Counter 11",
        "Set Counter 1 = 65536",
        "Set Counter 1 < 5",
        "If Counter 1 = ",
        "Poke 1, 256&0",
        "If Peek 1 and 2 = x",
        "Set Flags 1000000",
        "If Flags 1000000y",
        "PrintA \"unclosed",
        "If In Area (1,2)(3)",
        "If In Area (1,2)(3,190)",
        "Decrement Var 3",
        "Exec \"x",
    };
    for (const char* line : bad) {
        ScriptStatement s;
        std::string reason;
        EXPECT_FALSE(readCodeLine(line, s, reason)) << line;
    }
    CodeListingResult r = readCodeListing("Quick\r\n\r\n  On Second\nBogus\nEnd Block\n");
    EXPECT_EQ(r.errorLine, 4);
    EXPECT_TRUE(r.statements.empty());
}

TEST(CodeListingReader, HandWrittenLinesAndTooLongText) {
    CodeListingResult r = readCodeListing("  Exec \"" + std::string(254, 'e') + "\"\nMacro Write \"a\\x41\"\n\n");
    ASSERT_EQ(r.errorLine, 0);
    ASSERT_EQ(r.statements.size(), 2u);
    EXPECT_EQ(r.statements[0].bytes.size(), 257u);
    EXPECT_EQ(r.statements[1].bytes, (Bytes{0x5E, 0x03, 'a', 'A', 0x00}));

    r = readCodeListing("PrintB \"" + std::string(255, 'p') + "\"");
    EXPECT_EQ(r.errorLine, 1);
    EXPECT_EQ(r.errorText, kTextTooLongMessage);
}

}  // namespace
}  // namespace varnel
