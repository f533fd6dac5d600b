#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "layouts/form_tables.h"
#include "win32/templates/rc_writer.h"
#include "win32/templates/ui_layout.h"
#include "layouts/ui_xml.h"

namespace varnel::templates {
namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::filesystem::path> layouts() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(VARNEL_RES_DIR))
        if (entry.path().extension() == ".ui") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The control of that name, or nullptr.
const PlacedControl* placed(const DialogLayout& layout, const std::string& name) {
    for (const PlacedControl& c : layout.controls)
        if (c.name == name) return &c;
    return nullptr;
}

bool overlap(const PlacedControl& a, const PlacedControl& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Every window's layout becomes a template in which each row of its form's
// table is a control of its kind, inside a dialog that fits a 1024x768
// screen, with no two visible controls on top of each other (a group box
// holds its controls and is left out).
TEST(DialogTemplates, EveryLayoutFitsWithItsTable) {
    ASSERT_FALSE(layouts().empty());
    for (const auto& file : layouts()) {
        SCOPED_TRACE(file.filename().string());
        const auto ui = parseXml(readFile(file));
        const DialogLayout layout = layOutDialog(*ui);
        EXPECT_NO_THROW(writeDialogTemplate(layout, formTableFor(layout.name)));
        // Wine's dialog font makes a unit 1.75 pixels wide (Windows' own
        // 1.5) and 1.625 high; the caption and frame come on top.
        EXPECT_LE(layout.width * 7 / 4 + 16, 1024);
        EXPECT_LE(layout.height * 13 / 8 + 40, 768);
        std::vector<const PlacedControl*> shown;
        for (const PlacedControl& c : layout.controls) {
            EXPECT_GE(c.x, 0) << c.name;
            EXPECT_GE(c.y, 0) << c.name;
            EXPECT_LE(c.x + c.width, layout.width) << c.name;
            EXPECT_LE(c.y + c.height, layout.height) << c.name;
            // Hidden or not, a control has room: a Windows window shows one
            // where the template put it, and cannot make room then.
            EXPECT_GT(c.width, 0) << c.name;
            EXPECT_GT(c.height, 0) << c.name;
            if (!c.hidden && c.qtClass != "QGroupBox") shown.push_back(&c);
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(overlap(*shown[i], *shown[j])) << shown[i]->name << " and " << shown[j]->name;
        // The label beside a slider has room for the slider's largest value
        // (the window leaves out a value it would cut).
        for (const PlacedControl& slider : layout.controls) {
            if (slider.qtClass != "QSlider") continue;
            const std::string maximum = slider.element->property("maximum");
            if (const PlacedControl* value = placed(layout, slider.name + "Value")) {
                EXPECT_GE(value->width, textWidth(maximum.empty() ? "99" : maximum)) << value->name;
            }
        }
    }
}

constexpr const char* kSmallDialog = R"(<?xml version="1.0"?>
<ui version="4.0"><class>SmallDialog</class>
 <widget class="QDialog" name="SmallDialog">
  <property name="windowTitle"><string>Small &amp; "quoted"</string></property>
  <layout class="QVBoxLayout" name="main">
   <item><layout class="QHBoxLayout" name="row">
    <item><widget class="QLabel" name="caption"><property name="text"><string>Callsign</string></property></widget></item>
    <item><widget class="QLineEdit" name="callsign"/></item>
   </layout></item>
   <item><widget class="QWidget" name="choice"><layout class="QHBoxLayout" name="choiceRow">
    <item><widget class="QRadioButton" name="first"><property name="text"><string>A</string></property></widget></item>
    <item><widget class="QRadioButton" name="second"><property name="text"><string>B</string></property></widget></item>
   </layout></widget></item>
   <item><widget class="QPushButton" name="saveButton"><property name="text"><string>Save</string></property></widget></item>
   <item><widget class="QDialogButtonBox" name="buttonBox"><property name="standardButtons"><set>QDialogButtonBox::Ok|QDialogButtonBox::Cancel</set></property></widget></item>
  </layout>
 </widget></ui>)";

TEST(DialogTemplates, TableIdsStylesAndGeneratedIds) {
    const auto ui = parseXml(kSmallDialog);
    const DialogLayout layout = layOutDialog(*ui);
    const std::vector<TableRow> table{{1001, "callsign", ControlType::Edit, 9},
                                      {1002, "first", ControlType::Radio, 0},
                                      {1003, "second", ControlType::Radio, 0}};
    const DialogTemplate t = writeDialogTemplate(layout, table);
    const std::string& rc = t.resource;
    EXPECT_NE(rc.find("CAPTION \"Small & \"\"quoted\"\"\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("\"Callsign\", -1, \"Static\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("\"\", 1001, \"Edit\""), std::string::npos) << rc;
    // The second radio button continues the group the first one starts.
    EXPECT_NE(rc.find("\"A\", 1002, \"Button\", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP"), std::string::npos) << rc;
    EXPECT_NE(rc.find("\"B\", 1003, \"Button\", BS_AUTORADIOBUTTON,"), std::string::npos) << rc;
    EXPECT_NE(rc.find("\"OK\", 1, \"Button\", BS_DEFPUSHBUTTON"), std::string::npos) << rc;
    EXPECT_NE(rc.find("\"Cancel\", 2, \"Button\""), std::string::npos) << rc;
    ASSERT_EQ(t.generatedIds.size(), 1u);
    EXPECT_EQ(t.generatedIds[0], std::make_pair(std::string("saveButton"), kFirstGeneratedId));

    // The edit takes the room the label leaves in its row; OK and Cancel sit
    // at the right edge, as wide as the layout.
    const auto at = [&](const std::string& name) { return *placed(layout, name); };
    EXPECT_EQ(at("callsign").x + at("callsign").width, at("buttonBox.Cancel").x + at("buttonBox.Cancel").width);
    EXPECT_EQ(at("callsign").x + at("callsign").width, layout.width - 7);
    EXPECT_GT(at("callsign").x, at("caption").x + at("caption").width);
}

// A row wider than the cells it spans widens the column that grows, as Qt
// does: the edit takes the room and the button beside it stays button-sized.
TEST(DialogTemplates, ASpanningRowWidensTheGrowingColumn) {
    const auto ui = parseXml(R"(<ui><class>GridDialog</class><widget class="QDialog" name="GridDialog">
     <layout class="QGridLayout" name="grid">
      <item row="0" column="0"><widget class="QLineEdit" name="text"/></item>
      <item row="0" column="1"><widget class="QPushButton" name="more"><property name="text"><string>More...</string></property></widget></item>
      <item row="1" column="0" colspan="2"><widget class="QLabel" name="wide"><property name="text"><string>A caption far wider than an edit and a button side by side</string></property></widget></item>
     </layout></widget></ui>)");
    const DialogLayout layout = layOutDialog(*ui);
    const auto at = [&](const std::string& name) { return *placed(layout, name); };
    EXPECT_EQ(at("more").width, 50);  // a push button's own width
    EXPECT_EQ(at("more").x + at("more").width, at("wide").x + at("wide").width);
    EXPECT_EQ(at("text").x, at("wide").x);
    EXPECT_GT(at("text").width, at("wide").width / 2);
}

// What a screen reader and a keyboard user meet in each generated window:
// every control that takes input is named, by the caption just before it
// that the layout makes its buddy (Windows names a control by the static
// text before it) or by its table row's accessible name, never by a unit or
// a value beside it; captions show their mnemonics and other labels do not;
// no two mnemonics of a window share a key; a radio group is one tab stop.
TEST(DialogTemplates, EveryInputIsNamedMnemonicsAreUniqueAndRadioGroupsAreOneTabStop) {
    const std::regex line(R"re(CONTROL "((?:[^"]|"")*)", (-?\d+), "(\w+)", ([^,]+),)re");
    for (const auto& file : layouts()) {
        SCOPED_TRACE(file.filename().string());
        const auto ui = parseXml(readFile(file));
        const DialogLayout layout = layOutDialog(*ui);
        const std::vector<TableRow> table = formTableFor(layout.name);
        const std::string resource = writeDialogTemplate(layout, table).resource;
        std::vector<std::string> styles;
        for (auto m = std::sregex_iterator(resource.begin(), resource.end(), line); m != std::sregex_iterator(); ++m)
            styles.push_back((*m)[4]);
        ASSERT_EQ(styles.size(), layout.controls.size());

        std::map<char, std::string> keys;  // mnemonic -> the control it belongs to
        int radioStops = -1;               // tab stops of the radio group being read
        for (std::size_t i = 0; i < layout.controls.size(); ++i) {
            const PlacedControl& c = layout.controls[i];
            const std::string& style = styles[i];
            const auto row =
                std::find_if(table.begin(), table.end(), [&](const TableRow& r) { return r.name == c.name; });
            const bool caption = c.qtClass == "QLabel" && !c.element->property("buddy").empty();
            if (c.qtClass == "QLabel") {
                EXPECT_EQ(style.find("SS_NOPREFIX") == std::string::npos, caption) << c.name;
            }

            const bool textInput = c.qtClass == "QLineEdit" || c.qtClass == "QComboBox" || c.qtClass == "QSlider" ||
                                   c.qtClass == "QListWidget";
            const bool blankButton =
                (c.qtClass == "QCheckBox" || c.qtClass == "QRadioButton" || c.qtClass == "QPushButton") &&
                withoutMnemonic(c.text).empty();
            // Only the windows bound through a table name their controls
            // there; the listing and release list are their window's one
            // control.
            if ((textInput || blankButton) && !table.empty()) {
                const bool byCaption = i > 0 && layout.controls[i - 1].qtClass == "QLabel" &&
                                       layout.controls[i - 1].element->property("buddy") == c.name;
                const bool byName = row != table.end() && !row->accessibleName.empty();
                EXPECT_TRUE(byCaption || byName) << c.name << " has no caption before it and no name";
            }
            const bool takesMnemonic =
                caption || c.qtClass == "QCheckBox" || c.qtClass == "QRadioButton" || c.qtClass == "QPushButton";
            for (std::size_t k = 0; takesMnemonic && k + 1 < c.text.size(); ++k) {
                if (c.text[k] != '&') continue;
                if (c.text[k + 1] == '&') {
                    ++k;
                    continue;
                }
                const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(c.text[k + 1])));
                EXPECT_TRUE(keys.emplace(key, c.name).second) << c.name << " and " << keys[key] << " share &" << key;
            }

            const bool radio = c.qtClass == "QRadioButton";
            const bool startsGroup = style.find("WS_GROUP") != std::string::npos;
            if (radioStops >= 0 && (!radio || startsGroup)) {
                EXPECT_EQ(radioStops, 1) << "the radio group before " << c.name;
                radioStops = -1;
            }
            if (radio) radioStops = std::max(radioStops, 0) + (style.find("WS_TABSTOP") != std::string::npos);
        }
        if (radioStops >= 0) {
            EXPECT_EQ(radioStops, 1) << "the last radio group";
        }
    }
}

TEST(DialogTemplates, ARowWithoutItsControlIsNamed) {
    const auto ui = parseXml(kSmallDialog);
    const DialogLayout layout = layOutDialog(*ui);
    for (const TableRow& row :
         {TableRow{1009, "altitude", ControlType::Edit, 5}, TableRow{1001, "callsign", ControlType::Check, 0}}) {
        try {
            writeDialogTemplate(layout, {row});
            ADD_FAILURE() << row.name << " accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + row.name + "\" for control id " + std::to_string(row.id)),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(DialogTemplates, MalformedLayoutsAreRefused) {
    for (const char* text : {"<ui><class>X</class>", "<ui><class>X</clas></ui>", "<ui a=\"1></ui>", "<ui>&bogus;</ui>"})
        EXPECT_THROW(parseXml(text), std::runtime_error) << text;
    EXPECT_THROW(layOutDialog(*parseXml("<ui><class>X</class></ui>")), std::runtime_error);
}

}  // namespace
}  // namespace varnel::templates
