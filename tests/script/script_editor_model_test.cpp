#include <gtest/gtest.h>

#include "script/script_check.h"
#include "script/script_editor_model.h"
#include "script/script_lister.h"
#include "session/session.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using B = ScriptButton;

class ScriptEditor : public ::testing::Test {
protected:
    ScriptArea area;
    std::uint8_t featureFlags = 0x21;
    test::RecordingUi ui;

    ScriptEditor() { area.bytes.fill(0xFF); }

    std::vector<std::string> lines(const ScriptEditorModel& m) {
        std::vector<std::string> out;
        for (int i = 0; i < m.itemCount(); ++i) out.push_back(m.itemText(i));
        return out;
    }
};

TEST_F(ScriptEditor, OpensOnTheStoredProgramWithItsIndentation) {
    const Bytes program = {0x81, 0xBC, 0x00, 0x00, 0x0A, 0x15, 0x00, 0x03, 0x14, 0x00, 0x00, 0x00, 0xFF};
    std::copy(program.begin(), program.end(), area.bytes.begin());
    featureFlags = 0x80;
    ScriptEditorModel m(area, featureFlags, ui);
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "On Second", "  If Counter 1 = 10",
                                                  "    Increment Counter 1", "  Else", "    Decrement Counter 1",
                                                  "  End Block", "End Block", "End Script"}));
    EXPECT_EQ(m.counterText(), "12 of 512");
    EXPECT_TRUE(m.scriptEnabled);
    EXPECT_EQ(m.inputs.aIndex, 0);
    EXPECT_EQ(m.inputs.bIndex, 1);
    // The last line added stays selected, so new lines follow the program.
    EXPECT_EQ(m.selected(), 7);
}

TEST_F(ScriptEditor, BlockThenIncrementThenEndBlock) {
    ScriptEditorModel m(area, featureFlags, ui);
    EXPECT_FALSE(m.scriptEnabled);
    EXPECT_EQ(m.selected(), 1);  // "End Script"
    m.press(B::OnSecond);
    m.press(B::IncrementA);
    m.press(B::EndBlock);
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "On Second", "  Increment Counter 1", "End Block",
                                                  "End Script"}));
    EXPECT_EQ(m.counterText(), "4 of 512");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ScriptEditor, WhereNewLinesGo) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.press(B::Quick);
    m.press(B::OnStartup);
    // "End Script" selected: directly above it, inside the open block.
    m.select(m.itemCount() - 1);
    m.press(B::DoOnce);
    // "Begin Script" selected: first statement, at level 0.
    m.select(0);
    m.press(B::EndBlock);
    // No selection: above "End Script".
    m.select(-1);
    m.press(B::Else);
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "End Block", "Quick", "On Startup", "  Do Once",
                                                  "  Else", "End Script"}));
    EXPECT_EQ(m.selected(), 5);
}

TEST_F(ScriptEditor, ElseSitsAtTheLevelOfItsCondition) {
    ScriptEditorModel m(area, featureFlags, ui);
    for (B b :
         {B::OnSecond, B::IfAEqualsB, B::IncrementA, B::Else, B::DecrementA, B::EndBlock, B::EndBlock, B::EndBlock})
        m.press(b);
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "On Second", "  If Counter 1 = Counter 2",
                                                  "    Increment Counter 1", "  Else", "    Decrement Counter 1",
                                                  "  End Block", "End Block", "End Block", "End Script"}));
}

TEST_F(ScriptEditor, IndentationStopsAt68Spaces) {
    ScriptEditorModel m(area, featureFlags, ui);
    for (int i = 0; i < 36; ++i) m.press(B::DoOnce);
    m.press(B::Quick);
    EXPECT_EQ(m.itemText(34), std::string(66, ' ') + "Do Once");
    EXPECT_EQ(m.itemText(35), std::string(68, ' ') + "Do Once");
    EXPECT_EQ(m.itemText(37), std::string(68, ' ') + "Quick");
    EXPECT_EQ(m.slotOf(37).level, 36);
}

TEST_F(ScriptEditor, DeletingOpenersAndClosersReindents) {
    ScriptEditorModel m(area, featureFlags, ui);
    for (B b : {B::OnSecond, B::IncrementA, B::EndBlock, B::Quick}) m.press(b);
    m.select(1);
    m.deleteLine();  // the opener: its block moves out
    EXPECT_EQ(lines(m),
              (std::vector<std::string>{"Begin Script", "Increment Counter 1", "End Block", "Quick", "End Script"}));
    EXPECT_EQ(m.selected(), 1);
    EXPECT_EQ(m.counterText(), "4 of 512");

    ScriptEditorModel n(area, featureFlags, ui);
    for (B b : {B::OnSecond, B::IncrementA, B::EndBlock, B::Quick}) n.press(b);
    n.select(3);
    n.deleteLine();  // the closer: what follows moves in
    EXPECT_EQ(lines(n), (std::vector<std::string>{"Begin Script", "On Second", "  Increment Counter 1", "  Quick",
                                                  "End Script"}));
    EXPECT_EQ(n.selected(), 3);

    for (int fixed : {0, 4, -1}) {
        n.select(fixed);
        n.deleteLine();
        EXPECT_EQ(n.itemCount(), 5);
    }
    EXPECT_EQ(n.counterText(), "4 of 512");
}

TEST_F(ScriptEditor, UpAndDownStopAtTheEnds) {
    ScriptEditorModel m(area, featureFlags, ui);
    for (B b : {B::OnSecond, B::IncrementA, B::EndBlock}) m.press(b);
    const auto before = lines(m);
    for (int item : {0, 1, 4, -1}) {
        m.select(item);
        m.moveUp();
        EXPECT_EQ(lines(m), before) << "up from " << item;
    }
    for (int item : {0, 3, 4, -1}) {
        m.select(item);
        m.moveDown();
        EXPECT_EQ(lines(m), before) << "down from " << item;
    }

    m.select(3);
    m.moveUp();  // End Block above Increment
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "On Second", "End Block", "Increment Counter 1",
                                                  "End Script"}));
    EXPECT_EQ(m.selected(), 2);
    m.select(1);
    m.moveDown();  // On Second below End Block: now opens the block around Increment
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "End Block", "On Second", "  Increment Counter 1",
                                                  "End Script"}));
    EXPECT_EQ(m.selected(), 2);
}

TEST_F(ScriptEditor, RefusedOperandsKeepTheirPreviousValue) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.inputs.cText = "1234";
    m.inputs.xText = "7";
    m.inputs.yText = "9";
    m.press(B::SetAToC);
    ASSERT_TRUE(ui.messages.empty());

    m.inputs.cText = "70000";
    m.inputs.xText = "-1";
    m.inputs.yText = "256";
    m.inputs.aIndex = 4;
    m.press(B::SetAToC);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Valid constant range is 0 to 65535",
                                                     "Valid x range is 0 to 65535", "Valid y range is 0 to 255"}));
    EXPECT_EQ(m.itemText(2), "Set TX Counter = 1234");
    EXPECT_EQ(m.slotOf(2).bytes, (Bytes{0x3C, 0x04, 0x04, 0xD2}));

    // A statement that uses none of them still reads (and reports) them all.
    ui.messages.clear();
    m.press(B::IncrementA);
    EXPECT_EQ(ui.messages.size(), 3u);
    m.press(B::PokeCXY);
    EXPECT_EQ(m.slotOf(4).bytes, (Bytes{0x50, 0x04, 0xD2, 0x09, 0x07}));
    EXPECT_EQ(m.slotOf(4).text, "Poke 1234, 7&9");
}

TEST_F(ScriptEditor, XIsStoredAndShownAsItsLowByte) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.inputs.cText = "4660";
    m.inputs.xText = "300";
    m.inputs.yText = "255";
    m.press(B::PeekCXY);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(m.slotOf(1).bytes, (Bytes{0xD0, 0x12, 0x34, 44, 0xFF}));
    EXPECT_EQ(m.slotOf(1).text, "If Peek 4660 and 44 = 255");
    EXPECT_EQ(m.heldX(), 300);
}

TEST_F(ScriptEditor, TextButtons) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.inputs.tText = "A\\x41\\n";
    m.press(B::PortAPrint);
    m.press(B::PortBPrint);
    m.press(B::MacroOut);
    m.press(B::ExecuteT);
    m.inputs.tText = "beacon";
    m.press(B::MacroT);
    EXPECT_EQ(lines(m), (std::vector<std::string>{"Begin Script", "PrintA \"A\\x41\\n\"", "PrintB \"A\\x41\\n\"",
                                                  "Macro Write \"A\\x41\\n\"", "Exec \"A\\x41\\n\"", "Macro BEACON",
                                                  "End Script"}));
    EXPECT_EQ(m.slotOf(1).bytes, (Bytes{0x5A, 0x04, 'A', 'A', 0x0A, 0x00}));
    EXPECT_EQ(m.slotOf(4).bytes, (Bytes{0x5C, 0x08, 'A', '\\', 'x', '4', '1', '\\', 'n', 0x00}));
    EXPECT_EQ(m.slotOf(5).bytes, (Bytes{0xDD, 0x07, 'B', 'E', 'A', 'C', 'O', 'N', 0x00}));
    EXPECT_EQ(m.inputs.tText, "beacon");
    EXPECT_EQ(m.counterText(), "37 of 512");
}

TEST_F(ScriptEditor, TextLongerThanItsLengthByteIsRefused) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.inputs.tText = std::string(254, 'a');
    m.press(B::ExecuteT);
    EXPECT_EQ(m.slotOf(1).bytes.size(), 257u);
    EXPECT_EQ(m.slotOf(1).bytes[1], 255);

    m.inputs.tText = std::string(255, 'a');
    m.press(B::ExecuteT);
    m.press(B::MacroT);
    EXPECT_EQ(ui.messages, (std::vector<std::string>(2, kTextTooLongMessage)));
    EXPECT_EQ(m.itemCount(), 3);
    EXPECT_EQ(m.byteTotal(), 257);

    // Escapes shrink the text: 255 typed characters can fit.
    ui.messages.clear();
    m.inputs.tText = "\\n" + std::string(253, 'a');
    m.press(B::PortAPrint);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(m.itemCount(), 4);
}

TEST_F(ScriptEditor, FlagBoxesInThreeStates) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.inputs.flags = {FlagBox::Indeterminate, FlagBox::Indeterminate, FlagBox::Checked,   FlagBox::Unchecked,
                      FlagBox::Unchecked,     FlagBox::Unchecked,     FlagBox::Unchecked, FlagBox::Checked};
    m.press(B::SetFlags);
    m.press(B::ClearFlags);
    m.press(B::ToggleFlags);
    m.press(B::IfFlags);
    EXPECT_EQ(m.slotOf(1).bytes, (Bytes{0x16, 0x84}));
    EXPECT_EQ(m.slotOf(1).text, "Set Flags 00100001");
    EXPECT_EQ(m.slotOf(2).text, "Clear Flags 00100001");
    EXPECT_EQ(m.slotOf(3).text, "Toggle Flags 00100001");
    EXPECT_EQ(m.slotOf(4).bytes, (Bytes{0xAB, 0xFC, 0x84}));
    EXPECT_EQ(m.slotOf(4).text, "If Flags xx100001");
}

TEST_F(ScriptEditor, InAreaChecksCornersInOrder) {
    struct Case {
        const char* name;
        std::string nwLatDeg, nwLatMin, seLonDeg, seLonMin;
        const char* message;  // nullptr: the line is added
    };
    const Case cases[] = {
        {"in range", "40", "30", "104", "0", nullptr},
        {"minutes exactly 60", "40", "60", "104", "60", nullptr},
        {"latitude 91", "91", "0", "104", "0", "Invalid latitude"},
        {"latitude minutes 60.5", "40", "60.5", "104", "0", "Invalid latitude"},
        {"latitude minutes not a number", "40", "3a", "104", "0", "Invalid latitude"},
        {"longitude 181", "40", "0", "181", "0", "Invalid longitude"},
        {"longitude past 180", "40", "0", "180", "0.5", "Invalid longitude"},
        {"first failure wins", "95", "0", "200", "0", "Invalid latitude"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::RecordingUi caseUi;
        ScriptEditorModel m(area, featureFlags, caseUi);
        m.inputs.nwLatDegrees = c.nwLatDeg;
        m.inputs.nwLatMinutes = c.nwLatMin;
        m.inputs.nwLonDegrees = "105";
        m.inputs.seLatDegrees = "39";
        m.inputs.seLonDegrees = c.seLonDeg;
        m.inputs.seLonMinutes = c.seLonMin;
        m.press(B::IfInArea);
        if (c.message) {
            EXPECT_EQ(caseUi.messages, std::vector<std::string>{c.message});
            EXPECT_EQ(m.itemCount(), 2);
        } else {
            EXPECT_TRUE(caseUi.messages.empty());
            EXPECT_EQ(m.itemCount(), 3);
        }
    }
}

TEST_F(ScriptEditor, InAreaHemispheres) {
    ScriptEditorModel m(area, featureFlags, ui);
    EXPECT_STREQ(ScriptEditorModel::latitudeCaption(m.nwLatSouth), "N");
    EXPECT_STREQ(ScriptEditorModel::longitudeCaption(m.nwLonWest), "W");
    m.inputs.nwLatDegrees = "40";
    m.inputs.nwLatMinutes = "30";
    m.inputs.nwLonDegrees = "105";
    m.inputs.seLatDegrees = "33";
    m.inputs.seLatMinutes = "45";
    m.inputs.seLonDegrees = "151";
    m.inputs.seLonMinutes = "12";
    m.press(B::IfInArea);
    m.toggleSeLatitude();
    m.toggleSeLongitude();
    EXPECT_STREQ(ScriptEditorModel::latitudeCaption(m.seLatSouth), "S");
    EXPECT_STREQ(ScriptEditorModel::longitudeCaption(m.seLonWest), "E");
    m.press(B::IfInArea);
    EXPECT_EQ(m.itemText(1), "If In Area (40.50000,-105.00000)(33.75000,-151.20000)");
    EXPECT_EQ(m.itemText(2), "  If In Area (40.50000,-105.00000)(-33.75000,151.20000)");
    EXPECT_EQ(Bytes(m.slotOf(1).bytes.begin(), m.slotOf(1).bytes.begin() + 10),
              (Bytes{0xDF, 0x10, 0x1C, 0xCC, 0xCC, 0xCC, 0xB5, 0x55, 0x55, 0x56}));
    // The area opens a block.
    EXPECT_EQ(m.slotOf(2).level, 1);
}

TEST_F(ScriptEditor, OkStoresProgramAndSwitchCancelStoresNothing) {
    {
        ScriptEditorModel m(area, featureFlags, ui);
        m.press(B::OnSecond);
        m.scriptEnabled = true;
        // Dropped without OK: nothing changes.
    }
    EXPECT_EQ(area.bytes[0], 0xFF);
    EXPECT_EQ(featureFlags, 0x21);

    ScriptEditorModel m(area, featureFlags, ui);
    m.press(B::OnSecond);
    m.press(B::IncrementA);
    m.press(B::EndBlock);
    m.scriptEnabled = true;
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(Bytes(area.bytes.begin(), area.bytes.begin() + 6), (Bytes{0x81, 0x15, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(featureFlags, 0xA1);

    m.scriptEnabled = false;
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(featureFlags, 0x21);
}

TEST_F(ScriptEditor, FailedOkLeavesTheStoredProgramAlone) {
    area.bytes[0] = 0x04;  // Quick, then the terminator already there
    featureFlags = 0x80;
    ScriptEditorModel m(area, featureFlags, ui);
    m.inputs.tText = std::string(200, 'z');
    for (int i = 0; i < 3; ++i) m.press(B::ExecuteT);
    EXPECT_EQ(m.counterText(), "610 of 512");
    m.scriptEnabled = false;
    EXPECT_FALSE(m.ok());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Out of script storage space!"});
    EXPECT_EQ(area.bytes[0], 0x04);
    EXPECT_EQ(area.bytes[1], 0xFF);
    EXPECT_EQ(area.bytes[2], 0xFF);
    EXPECT_EQ(featureFlags, 0x80);
}

TEST(ScriptCheck, FindsStrayLinesOpenBlocksAndEmptyOperands) {
    struct Case {
        const char* name;
        std::vector<Bytes> program;
        std::vector<std::string> findings;
    };
    const Case cases[] = {
        {"a closed event block", {{0x81}, {0xBC, 0x00, 0x00, 0x05}, {0x15, 0x00}, {0x00}, {0x00}}, {}},
        {"an action before any event",
         {{0x15, 0x00}, {0x80}, {0x00}},
         {"line 1: Increment Counter 1 - outside any event block"}},
        {"an End Block too many, then an Else with nothing open",
         {{0x80}, {0x00}, {0x00}, {0x03}},
         {"line 3: End Block - outside any event block", "line 4: Else - outside any event block"}},
        {"an If without its End Block, inside an unended event",
         {{0x81}, {0xBC, 0x00, 0x00, 0x05}, {0x15, 0x00}},
         {"line 1: On Second - has no End Block", "line 2: If Counter 1 = 5 - has no End Block"}},
        {"a condition at the top is outside too",
         {{0xBC, 0x00, 0x00, 0x05}, {0x00}},
         {"line 1: If Counter 1 = 5 - outside any event block"}},
        {"an empty text, no flags, a care mask of nothing",
         {{0x80}, {0x5A, 0x01, 0x00}, {0x16, 0x00}, {0xAB, 0x00, 0x00}, {0x00}, {0x00}},
         {"line 2: PrintA \"\" - operand left empty", "line 3: Set Flags 00000000 - operand left empty",
          "line 4: If Flags xxxxxxxx - operand left empty"}},
    };
    for (const Case& c : cases) EXPECT_EQ(scriptCheckFindings(c.program), c.findings) << c.name;

    std::vector<std::string> many(12, "x");
    const std::string question = scriptCheckQuestion(many);
    EXPECT_NE(question.find("\n... and 2 more\n\nStore it anyway?"), std::string::npos) << question;
}

TEST_F(ScriptEditor, OkAsksBeforeStoringAnOddProgram) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.press(B::IncrementA);
    m.scriptEnabled = true;
    ui.answers = {false, true};
    EXPECT_FALSE(m.ok());  // No: the editor stays open, nothing stored
    EXPECT_EQ(area.bytes[0], 0xFF);
    EXPECT_EQ(featureFlags, 0x21);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], std::string(kScriptCheckHeading) +
                                   "\n\nline 1: Increment Counter 1 - outside any event block\n\nStore it anyway?");
    EXPECT_EQ(ui.defaultNoQuestions, ui.questions);
    EXPECT_TRUE(m.ok());  // Yes: stored as it is
    EXPECT_EQ(area.bytes[0], 0x15);
    EXPECT_EQ(featureFlags, 0xA1);
}

// "Set A = C" with the C box empty reads as 0: OK names the line, where the
// same statement with a 0 typed passes.
TEST_F(ScriptEditor, OkNamesAStatementAddedWithItsNumberBoxEmpty) {
    ScriptEditorModel m(area, featureFlags, ui);
    m.press(B::OnStartup);
    m.inputs.cText = "0";
    m.press(B::SetAToC);
    m.inputs.cText = "";
    m.press(B::SetAToC);
    m.inputs.cText = "7";
    m.inputs.xText = " ";
    m.press(B::PeekCXY);
    m.press(B::EndBlock);
    ui.answers = {false};
    EXPECT_FALSE(m.ok());
    ASSERT_EQ(ui.questions.size(), 1u);
    const std::string& q = ui.questions[0];
    EXPECT_EQ(q.find("line 2:"), std::string::npos) << q;
    EXPECT_NE(q.find("line 3: Set Counter 1 = 0 - operand left empty"), std::string::npos) << q;
    EXPECT_NE(q.find("- operand left empty", q.find("line 4: ")), std::string::npos) << q;
    EXPECT_EQ(area.bytes[0], 0xFF);
}

// A southern or western zero, or an angle a unit below zero, reads as 0.
TEST_F(ScriptEditor, InAreaCornersNeverShowMinusZero) {
    ScriptEditorModel m(area, featureFlags, ui);
    for (auto* field : {&m.inputs.nwLatDegrees, &m.inputs.nwLatMinutes, &m.inputs.nwLonDegrees, &m.inputs.nwLonMinutes,
                        &m.inputs.seLatDegrees, &m.inputs.seLatMinutes, &m.inputs.seLonDegrees, &m.inputs.seLonMinutes})
        *field = "0";
    m.toggleNwLatitude();  // south, and both longitudes west
    m.press(B::IfInArea);
    EXPECT_EQ(m.itemText(1), "If In Area (0.00000,0.00000)(0.00000,0.00000)");
    const Bytes oneUnitSouth = {0xDF, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(statementLineText(oneUnitSouth.data(), oneUnitSouth.size()),
              "If In Area (0.00000,0.00000)(0.00000,0.00000)");
}

TEST_F(ScriptEditor, AllSlotsInUseRefusesTheNextLine) {
    ScriptEditorModel m(area, featureFlags, ui);
    for (int i = 0; i < ScriptEditorModel::kSlotCount; ++i) ASSERT_TRUE(m.addLine("Quick", {0x04}));
    EXPECT_FALSE(m.addLine("Quick", {0x04}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{kScriptFullMessage});
    EXPECT_EQ(m.itemCount(), ScriptEditorModel::kSlotCount + 2);
    EXPECT_EQ(m.byteTotal(), ScriptEditorModel::kSlotCount);

    // A deleted line frees its slot for the next one.
    m.select(5);
    m.deleteLine();
    EXPECT_TRUE(m.addLine("Else", {0x03}));
    EXPECT_EQ(m.itemText(6), "Else");  // below the line that took the deleted one's place
    EXPECT_EQ(m.slotOf(6).bytes, Bytes{0x03});
}

}  // namespace
}  // namespace varnel

namespace varnel {
namespace {

TEST(ScriptEditorSession, EditsTheCurrentProfilesScriptSwitch) {
    test::RecordingUi ui;
    Session session;
    session.script.bytes.fill(0xFF);
    session.currentProfile = 1;
    ScriptEditorModel m(session.script, currentProfileFeatureFlags(session), ui);
    m.scriptEnabled = true;
    ASSERT_TRUE(m.ok());
    // Profile 2 starts at settings offset 196; its feature byte is its 127th.
    EXPECT_EQ(session.settings.bytes[196 + 126], 0x80);
    EXPECT_EQ(session.settings.bytes[5 + 126], 0x00);
}

}  // namespace
}  // namespace varnel
