#include "win32/templates/rc_writer.h"

#include <algorithm>
#include <stdexcept>

#include "win32/slider_value_id.h"

namespace varnel::templates {

namespace {

constexpr int kIdStatic = -1;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kDropListHeight = 120;  // a drop-down list's template height includes its open list

struct WindowsControl {
    const char* windowClass;
    std::string style;
};

// The Windows control that stands for a Designer widget, with its styles.
WindowsControl windowsControlFor(const PlacedControl& c, const TableRow* row) {
    const std::string& q = c.qtClass;
    const XmlElement& e = *c.element;
    if (q == "QLabel") {
        const bool right = e.property("alignment").find("AlignRight") != std::string::npos;
        const bool wrap = e.property("wordWrap") == "true";
        // A caption (a label with a buddy) shows its mnemonic, and a screen
        // reader names the control after it by it; any other label shows
        // its text as it is.
        const bool caption = !e.property("buddy").empty();
        return {"Static", std::string(right  ? "SS_RIGHT"
                                      : wrap ? "SS_LEFT"
                                             : "SS_LEFTNOWORDWRAP") +
                              (caption ? "" : " | SS_NOPREFIX")};
    }
    if (q == "QLineEdit") {
        std::string style = "ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP";
        if (row && row->type == ControlType::DigitEdit) style += " | ES_NUMBER";
        if (e.property("readOnly") == "true") style += " | ES_READONLY";
        return {"Edit", style};
    }
    if (q == "QCheckBox")
        return {"Button", row && row->type == ControlType::ThreeState ? "BS_AUTO3STATE | WS_TABSTOP"
                                                                      : "BS_AUTOCHECKBOX | WS_TABSTOP"};
    if (q == "QRadioButton") return {"Button", "BS_AUTORADIOBUTTON"};
    if (q == "QPushButton")
        return {"Button", c.isDefault ? "BS_DEFPUSHBUTTON | WS_TABSTOP" : "BS_PUSHBUTTON | WS_TABSTOP"};
    if (q == "QGroupBox") return {"Button", "BS_GROUPBOX"};
    if (q == "QComboBox") return {"ComboBox", "CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP"};
    if (q == "QSlider") {
        std::string style = e.property("orientation") == "Qt::Vertical" ? "TBS_VERT" : "TBS_HORZ";
        if (e.property("tickPosition").empty()) style += " | TBS_NOTICKS";
        else style += " | TBS_AUTOTICKS";
        return {"msctls_trackbar32", style + " | WS_TABSTOP"};
    }
    if (q == "QProgressBar") return {"msctls_progress32", "WS_BORDER"};
    if (q == "QTabBar") return {"SysTabControl32", "WS_TABSTOP"};
    if (q == "QListWidget")
        return {"ListBox", "LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP"};
    if (q == "QTreeWidget")
        return {"SysListView32", "LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP"};
    if (q == "QPlainTextEdit") {
        std::string style =
            "ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP";
        if (e.property("readOnly") == "true") style += " | ES_READONLY";
        return {"Edit", style};
    }
    throw std::runtime_error("no Windows control stands for " + q);
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += "\"\"";
        else if (ch == '\n') out += "\\n";
        else if (ch == '\\') out += "\\\\";
        else out += ch;
    }
    return out + "\"";
}

// A button box's buttons and buttons named for their role close the dialog
// through the ids Windows gives Enter and Escape.
int roleId(const PlacedControl& c) {
    const std::string& n = c.name;
    auto endsWith = [&](const std::string& tail) {
        return n.size() >= tail.size() && n.compare(n.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(".Ok") || n == "okButton") return kIdOk;
    if (endsWith(".Cancel") || endsWith(".Close") || n == "cancelButton" || n == "closeButton") return kIdCancel;
    return 0;
}

// What the template's caption holds: the text, except for a trackbar, whose
// range a template has no other place for ("min,max,page"; the binding sets
// it), a list view, whose column headings go the same way ("a|b|c"), and a
// tab control, whose tabs the form names.
std::string caption(const PlacedControl& c) {
    if (c.qtClass == "QTabBar") return {};
    if (c.qtClass == "QTreeWidget") {
        std::string headings;
        for (const auto& child : c.element->children)
            if (child->tag == "column") headings += (headings.empty() ? "" : "|") + child->property("text");
        return headings;
    }
    if (c.qtClass == "QSlider") {
        const XmlElement& e = *c.element;
        auto number = [&](const char* name, const char* fallback) {
            const std::string v = e.property(name);
            return v.empty() ? std::string(fallback) : v;
        };
        return number("minimum", "0") + "," + number("maximum", "99") + "," + number("pageStep", "10");
    }
    return c.text;
}

}  // namespace

DialogTemplate writeDialogTemplate(const DialogLayout& layout, const std::vector<TableRow>& table) {
    DialogTemplate t;
    for (const TableRow& row : table) {
        const auto it = std::find_if(layout.controls.begin(), layout.controls.end(),
                                     [&](const PlacedControl& c) { return c.name == row.name; });
        if (it == layout.controls.end() || it->qtClass != designerClassFor(row.type))
            throw std::runtime_error(layout.name + ": no " + designerClassFor(row.type) + " \"" + row.name +
                                     "\" for control id " + std::to_string(row.id));
    }
    std::string body;
    int nextId = kFirstGeneratedId;
    const PlacedControl* previous = nullptr;
    for (const PlacedControl& c : layout.controls) {
        const auto row = std::find_if(table.begin(), table.end(), [&](const TableRow& r) { return r.name == c.name; });
        const TableRow* tableRow = row == table.end() ? nullptr : &*row;
        int id = tableRow ? tableRow->id : roleId(c);
        const std::string suffix = "Value";
        if (id == 0 && c.qtClass == "QLabel" && c.name.size() > suffix.size() &&
            c.name.compare(c.name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            const std::string slider = c.name.substr(0, c.name.size() - suffix.size());
            const auto s = std::find_if(table.begin(), table.end(), [&](const TableRow& r) {
                return r.name == slider && r.type == ControlType::Slider;
            });
            if (s != table.end()) id = s->id + win32::kSliderValueIdOffset;
        }
        if (id == 0) {
            // A window with a table reaches every control it changes through
            // it; in one without, the code may reach any named control.
            if (!table.empty() && (c.qtClass == "QLabel" || c.qtClass == "QGroupBox")) {
                id = kIdStatic;
            } else {
                id = nextId++;
                t.generatedIds.emplace_back(c.name, id);
            }
        }
        WindowsControl w = windowsControlFor(c, tableRow);
        // Radio buttons of one parent form one group; every other control
        // starts a group of its own, which ends the radio group before it.
        // A radio group is one tab stop, at its first button; the arrow
        // keys move within the group.
        const bool continuesRadios = c.qtClass == "QRadioButton" && previous && previous->qtClass == "QRadioButton" &&
                                     previous->parent == c.parent;
        if (!continuesRadios) w.style += c.qtClass == "QRadioButton" ? " | WS_GROUP | WS_TABSTOP" : " | WS_GROUP";
        if (c.hidden) w.style += " | NOT WS_VISIBLE";
        if (c.element->property("enabled") == "false") w.style += " | WS_DISABLED";
        const int height = c.qtClass == "QComboBox" ? kDropListHeight : c.height;
        body += "    CONTROL " + quoted(caption(c)) + ", " + std::to_string(id) + ", " + quoted(w.windowClass) + ", " +
                w.style + ", " + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " + std::to_string(c.width) +
                ", " + std::to_string(height) + "\n";
        previous = &c;
    }
    t.resource = layout.name + " DIALOGEX 0, 0, " + std::to_string(layout.width) + ", " +
                 std::to_string(layout.height) +
                 "\nSTYLE DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
                 "CAPTION " +
                 quoted(layout.title) + "\nFONT 8, \"MS Shell Dlg\", 400, 0, 0x1\nBEGIN\n" + body + "END\n";
    return t;
}

std::string resourceScript(const std::vector<DialogTemplate>& dialogs) {
    std::string out = "// Generated from res/*.ui by varnel-dialog-templates; edit the .ui files, not this.\n"
                      "#include <windows.h>\n#include <commctrl.h>\n#pragma code_page(65001)\n\n";
    for (const DialogTemplate& d : dialogs) out += d.resource + "\n";
    return out;
}

std::string generatedIdHeader(const std::vector<std::pair<std::string, DialogTemplate>>& dialogs) {
    std::string out =
        "// Generated from res/*.ui by varnel-dialog-templates: the ids of controls\n"
        "// that no form table names, by dialog and object name, and the same as a\n"
        "// table (kNamed) for code that finds controls by name.\n#pragma once\n\n"
        "namespace varnel::dialog_ids {\n\nstruct NamedControl {\n    const char* name;\n    int id;\n};\n";
    for (const auto& [name, d] : dialogs) {
        if (d.generatedIds.empty()) continue;
        out += "\nnamespace " + name + " {\n";
        std::string named;
        for (const auto& [control, id] : d.generatedIds) {
            out += "inline constexpr int " + control + " = " + std::to_string(id) + ";\n";
            named += "    {\"" + control + "\", " + std::to_string(id) + "},\n";
        }
        out += "inline constexpr NamedControl kNamed[] = {\n" + named + "};\n}  // namespace " + name + "\n";
    }
    return out + "}  // namespace varnel::dialog_ids\n";
}

}  // namespace varnel::templates
