#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "config/profile_layout.h"
#include "forms/script/script_editor_form.h"
#include "forms/tracker_fixture.h"
#include "ui/form_binding.h"
#include "ui/listing_dialog.h"
#include "ui/script_editor_dialog.h"
#include "ui/tracker_config_dialog.h"
#include "ui_script_editor_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace pl = profile_layout;

// A tracker session on a chip that keeps a script, its script area erased.
struct EditorBench {
    test::UiFixture f;
    explicit EditorBench(const std::string& chip = "AP64") {
        f.session = test::trackerSession(chip);
        f.session.script.bytes.fill(0xFF);
    }
    void store(const Bytes& program) { std::copy(program.begin(), program.end(), f.session.script.bytes.begin()); }
    std::uint8_t features(int profile) { return f.session.settings.profile(profile)[pl::kFeatureFlags]; }
};

template <typename W>
W* child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QWidget& d, const char* name) { child<QPushButton>(d, name)->click(); }
void type(QWidget& d, const char* name, const QString& text) { QTest::keyClicks(child<QLineEdit>(d, name), text); }

std::vector<std::string> rows(QWidget& d) {
    std::vector<std::string> out;
    auto* list = child<QListWidget>(d, "lineList");
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

void selectRow(QWidget& d, int row) { child<QListWidget>(d, "lineList")->setCurrentRow(row); }
int selectedRow(QWidget& d) { return child<QListWidget>(d, "lineList")->currentRow(); }
QString counter(QWidget& d) { return child<QLabel>(d, "byteCounter")->text(); }

// Operands that every statement kind reads differently: A = Counter 3,
// B = Ticks, C = 1000, X = 1, Y = 255, a text with an escape, flag 1 and 8
// ticked and flag 2 indeterminate, and two corners with odd minutes, the
// north-west one switched to south, the south-east one to east (a button
// wired to another corner gives other signs).
void enterOperands(QWidget& d) {
    child<QComboBox>(d, "variableA")->setCurrentIndex(2);
    child<QComboBox>(d, "variableB")->setCurrentIndex(3);
    type(d, "constantC", "10x0.0");  // digits only: the other keys are not taken
    type(d, "valueX", "1");
    type(d, "valueY", "255");
    type(d, "textT", "Hi\\x21");
    // A three-state box goes unchecked -> indeterminate -> checked.
    for (const char* name : {"flag1", "flag1", "flag2", "flag8", "flag8"}) child<QCheckBox>(d, name)->click();
    type(d, "nwLatDegrees", "4.0");
    type(d, "nwLatMinutes", "30");
    type(d, "nwLonDegrees", "105");
    type(d, "seLatDegrees", "39");
    type(d, "seLatMinutes", "59.5");
    type(d, "seLonDegrees", "104");
    type(d, "seLonMinutes", "0.25");
    click(d, "nwLatHemisphere");
    click(d, "seLonHemisphere");
}

// Each statement button, pressed once on an empty program with the same
// operands, adds its own statement: a button wired to another statement, or
// reading the wrong operand, gives another line or other bytes.
TEST(ScriptEditorDialog, EachStatementButtonAddsItsStatement) {
    struct Case {
        const char* button;
        const char* caption;
        std::string line;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"endBlockButton", "End Block", "End Block", {0x00}},
        {"elseButton", "Else", "Else", {0x03}},
        {"quickButton", "Quick", "Quick", {0x04}},
        {"onStartupButton", "On Startup", "On Startup", {0x80}},
        {"onSecondButton", "On Second", "On Second", {0x81}},
        {"ifProfile1Button", "If Profile 1", "If Profile 1", {0x82}},
        {"ifProfile2Button", "If Profile 2", "If Profile 2", {0x83}},
        {"onInterruptButton", "On Interrupt", "On Interrupt", {0x84}},
        {"onGpsFixButton", "On GPS Fix", "On GPS Fix", {0x85}},
        {"doOnceButton", "Do Once", "Do Once", {0x86}},
        {"ifAEqualsBButton", "If A = B", "If Counter 3 = Ticks", {0xA8, 2, 3}},
        {"ifALessBButton", "If A < B", "If Counter 3 < Ticks", {0xA9, 2, 3}},
        {"ifAGreaterBButton", "If A > B", "If Counter 3 > Ticks", {0xAA, 2, 3}},
        {"ifAEqualsCButton", "If A = C", "If Counter 3 = 1000", {0xBC, 2, 0x03, 0xE8}},
        {"ifALessCButton", "If A < C", "If Counter 3 < 1000", {0xBD, 2, 0x03, 0xE8}},
        {"ifAGreaterCButton", "If A > C", "If Counter 3 > 1000", {0xBE, 2, 0x03, 0xE8}},
        {"setAToBButton", "Set A = B", "Set Counter 3 = Ticks", {0x28, 2, 3}},
        {"setAToCButton", "Set A = C", "Set Counter 3 = 1000", {0x3C, 2, 0x03, 0xE8}},
        {"incrementAButton", "Increment A", "Increment Counter 3", {0x15, 2}},
        {"decrementAButton", "Decrement A", "Decrement Counter 3", {0x14, 2}},
        {"portAPrintButton", "Port A Print", "PrintA \"Hi\\x21\"", {0x5A, 4, 'H', 'i', '!', 0}},
        {"portBPrintButton", "Port B Print", "PrintB \"Hi\\x21\"", {0x5B, 4, 'H', 'i', '!', 0}},
        {"macroOutButton", "Macro Out", "Macro Write \"Hi\\x21\"", {0x5E, 4, 'H', 'i', '!', 0}},
        {"executeTButton", "Execute T", "Exec \"Hi\\x21\"", {0x5C, 7, 'H', 'i', '\\', 'x', '2', '1', 0}},
        {"macroTButton", "Macro T", "Macro HI\\X21", {0xDD, 7, 'H', 'I', '\\', 'X', '2', '1', 0}},
        {"peekButton", "Peek C&X=Y?", "If Peek 1000 and 1 = 255", {0xD0, 0x03, 0xE8, 1, 255}},
        {"pokeButton", "Poke C,X&Y", "Poke 1000, 1&255", {0x50, 0x03, 0xE8, 255, 1}},
        {"setFlagsButton", "Set Flags", "Set Flags 10000001", {0x16, 0x81}},
        {"clearFlagsButton", "Clear Flags", "Clear Flags 10000001", {0x17, 0x81}},
        {"toggleFlagsButton", "Toggle Flags", "Toggle Flags 10000001", {0x18, 0x81}},
        {"ifFlagsButton", "If Flags", "If Flags 1x000001", {0xAB, 0xFD, 0x81}},
        {"ifInAreaButton",
         "If In Area",
         "If In Area (-40.50000,-105.00000)(39.99167,104.00417)",
         {0xDF, 0x10, 0xE3, 0x33, 0x33, 0x34, 0xB5, 0x55, 0x55, 0x56, 0x1C, 0x70, 0x42, 0xBF, 0x49, 0xF5, 0x61, 0x78}},
    };
    ASSERT_EQ(cases.size(), kScriptButtons.size());
    {
        QDialog bare;
        Ui::ScriptEditorDialog layout;
        layout.setupUi(&bare);
        EXPECT_TRUE(FormBinding<ScriptEditorForm>(bare, kScriptEditorControls).missing().empty());
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        EditorBench bench;
        CScriptEditorDialog dialog(bench.f.context);
        enterOperands(dialog);
        auto* button = child<QPushButton>(dialog, c.button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text().replace("&&", "&").toStdString(), c.caption);
        button->click();
        EXPECT_EQ(rows(dialog), (std::vector<std::string>{"Begin Script", c.line, "End Script"}));
        ASSERT_EQ(dialog.model().itemCount(), 3);
        EXPECT_EQ(dialog.model().slotOf(1).bytes, c.bytes);
        EXPECT_EQ(counter(dialog).toStdString(), std::to_string(c.bytes.size()) + " of 512");
        EXPECT_TRUE(bench.f.ui.messages.empty());
    }
    EditorBench bench;
    CScriptEditorDialog dialog(bench.f.context);
    enterOperands(dialog);
    std::vector<std::string> captions;
    for (const char* name : {"nwLatHemisphere", "nwLonHemisphere", "seLatHemisphere", "seLonHemisphere"})
        captions.push_back(child<QPushButton>(dialog, name)->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"S", "W", "N", "E"}));
}

TEST(ScriptEditorDialog, UpDownAndDeleteMoveTheSelectedLine) {
    EditorBench bench;
    bench.store({0x81, 0x15, 0x00, 0x00, 0xFF});  // On Second, Increment Counter 1, End Block
    CScriptEditorDialog dialog(bench.f.context);
    EXPECT_EQ(rows(dialog), (std::vector<std::string>{"Begin Script", "On Second", "  Increment Counter 1", "End Block",
                                                      "End Script"}));
    EXPECT_EQ(counter(dialog), "4 of 512");

    struct Step {
        const char* button;
        int selectBefore;
        std::vector<std::string> statements;
        int selectedAfter;
    };
    const std::vector<Step> steps = {
        {"upButton", 2, {"Increment Counter 1", "On Second", "End Block"}, 1},
        {"downButton", 1, {"On Second", "  Increment Counter 1", "End Block"}, 2},
        {"downButton", 3, {"On Second", "  Increment Counter 1", "End Block"}, 3},  // the last line stays
        {"deleteLineButton", 1, {"Increment Counter 1", "End Block"}, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.button) + " on row " + std::to_string(s.selectBefore));
        selectRow(dialog, s.selectBefore);
        click(dialog, s.button);
        std::vector<std::string> expected{"Begin Script"};
        expected.insert(expected.end(), s.statements.begin(), s.statements.end());
        expected.push_back("End Script");
        EXPECT_EQ(rows(dialog), expected);
        EXPECT_EQ(selectedRow(dialog), s.selectedAfter);
    }
    EXPECT_EQ(counter(dialog), "3 of 512");
}

// OK stores the program and the switch of the current profile only; Cancel,
// and an OK whose program does not fit, leave both as they were.
TEST(ScriptEditorDialog, OkStoresProgramAndSwitchCancelAndAFailedOkLeaveBoth) {
    struct Case {
        const char* button;
        int longTexts;
        bool stores;
    };
    for (const Case& c : {Case{"cancelButton", 0, false}, Case{"okButton", 0, true}, Case{"okButton", 3, false}}) {
        SCOPED_TRACE(std::string(c.button) + " after " + std::to_string(c.longTexts) + " long texts");
        EditorBench bench;
        bench.f.session.currentProfile = 1;
        bench.store({0x04, 0xFF});  // Quick
        const ScriptArea before = bench.f.session.script;
        const std::uint8_t profile1 = bench.features(0), profile2 = bench.features(1);
        CScriptEditorDialog dialog(bench.f.context);
        dialog.show();
        click(dialog, "onSecondButton");
        // Three texts of 200 characters leave no room for the program's end.
        type(dialog, "textT", QString(200, 'a'));
        for (int i = 0; i < c.longTexts; ++i) click(dialog, "portAPrintButton");
        child<QCheckBox>(dialog, "enableScript")->click();
        // Quick stands before any event and On Second has no End Block: OK
        // asks, and Yes stores the program as it is.
        bench.f.ui.defaultAnswer = true;
        click(dialog, c.button);
        EXPECT_EQ(bench.f.ui.questions.size(), c.stores ? 1u : 0u);

        EXPECT_EQ(dialog.isVisible(), c.longTexts > 0);  // kept open, so lines can be deleted
        EXPECT_EQ(bench.features(0), profile1);
        EXPECT_EQ(bench.features(1), c.stores ? (profile2 | pl::kFeatureScriptEnabled) : profile2);
        ScriptArea expected = before;
        if (c.stores) expected.bytes[1] = 0x81;  // Quick, On Second, end
        EXPECT_EQ(bench.f.session.script.bytes, expected.bytes);
        const std::vector<std::string> said{"Out of script storage space!"};
        EXPECT_EQ(bench.f.ui.messages, c.longTexts > 0 ? said : std::vector<std::string>{});
    }
}

// A long program stays workable: the selected line is always in view after
// a button, wherever it is.
TEST(ScriptEditorDialog, ALongProgramKeepsTheSelectionInView) {
    EditorBench bench;
    Bytes program;
    for (int i = 0; i < 200; ++i) program.insert(program.end(), {0x15, static_cast<std::uint8_t>(i % 10)});
    program.push_back(0xFF);
    bench.store(program);
    CScriptEditorDialog dialog(bench.f.context);
    dialog.resize(900, 600);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* list = child<QListWidget>(dialog, "lineList");
    ASSERT_EQ(list->count(), 202);
    auto inView = [list] { return list->viewport()->rect().contains(list->visualItemRect(list->currentItem())); };
    EXPECT_TRUE(inView());  // the last listed line, at the bottom

    // Moving a line far from the view, and adding one, bring the selection back.
    for (const char* button : {"upButton", "quickButton"}) {
        SCOPED_TRACE(button);
        selectRow(dialog, 150);
        list->scrollToTop();
        click(dialog, button);
        EXPECT_EQ(selectedRow(dialog), std::string(button) == "upButton" ? 149 : 151);
        EXPECT_TRUE(inView());
    }

    // The whole window, buttons included, fits a 1024x768 screen.
    EXPECT_LE(dialog.minimumSizeHint().width(), 1024);
    EXPECT_LE(dialog.minimumSizeHint().height(), 700);
}

// Both listings show the editor's lines as they are now, in a fixed-width
// read-only window, and save byte for byte with "\r\n" line ends.
TEST(ListingDialog, ShowsAndSavesTheCodeAndPatchListings) {
    struct Case {
        const char* button;
        QString shown;
        QByteArray saved;
        const char* title;
    };
    const std::vector<Case> cases = {
        {"codeListButton", "On Second\n  Increment Counter 1\nEnd Block",
         "On Second\r\n  Increment Counter 1\r\nEnd Block\r\n", "Code listing"},
        {"patchListButton", "PATCH f6000581150000ff", "PATCH f6000581150000ff\r\n", "Patch listing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        EditorBench bench;
        CScriptEditorDialog dialog(bench.f.context);
        for (const char* b : {"onSecondButton", "incrementAButton", "endBlockButton"}) click(dialog, b);
        QTemporaryDir dir;
        const QString path = dir.filePath("listing.txt");
        bench.f.files.answers = {path, dir.filePath("missing/listing.txt")};

        bool seen = false;
        test::onNextModal([&](QWidget* w) {
            auto* listing = qobject_cast<CListingDialog*>(w);
            if (!listing) return false;
            seen = true;
            EXPECT_EQ(listing->windowTitle(), c.title);
            test::screenshot(*listing, c.button);
            auto* text = child<QPlainTextEdit>(*listing, "listingText");
            EXPECT_TRUE(text->isReadOnly());
            const QFontMetrics metrics(text->font());
            EXPECT_EQ(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("MMMM"));
            EXPECT_EQ(listing->shownText(), c.shown);
            click(*listing, "saveButton");
            click(*listing, "saveButton");  // into a folder that is not there
            click(*listing, "okButton");
            return true;
        });
        click(dialog, c.button);
        EXPECT_TRUE(seen);
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), c.saved);
        EXPECT_EQ(bench.f.ui.messages, (std::vector<std::string>{"Error writing listing file"}));
        EXPECT_EQ(bench.f.files.filters, QStringList({"Text Files (*.txt)", "Text Files (*.txt)"}));
        EXPECT_EQ(dialog.model().itemCount(), 5);  // the editor's lines are untouched
    }
}

TEST(ScriptEditorDialog, OpensFromTheTrackerDialogsScriptButton) {
    EditorBench bench;
    CTrackerConfigDialog tracker(bench.f.context);
    bool opened = false;
    test::onNextModal([&](QWidget* w) {
        auto* editor = qobject_cast<CScriptEditorDialog*>(w);
        if (!editor) return false;
        opened = true;
        editor->reject();
        return true;
    });
    click(tracker, "scriptButton");
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace varnel
