#include "web/pages/html_writer.h"

#include <cctype>
#include <map>
#include <stdexcept>
#include <string_view>

namespace varnel::web_pages {

namespace {

using layouts::TableRow;
using layouts::XmlElement;

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A caption with Qt's mnemonic ampersand ("&Connect"): the letter after it
// underlined, as the desktop shows it; "&&" is one "&".
std::string caption(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool mnemonic = text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&';
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += mnemonic ? "<u>" + escape(std::string(1, text[i])) + "</u>" : escape(std::string(1, text[i]));
    }
    return out;
}

// The key of a caption's mnemonic, as the page's own Alt+key handling looks
// for it (the browsers' accesskey would want another modifier in each
// browser, and would reach a window behind a modal one), and as a screen
// reader announces it; "" when the caption has none.
std::string accessKey(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
        if (!std::isalnum(static_cast<unsigned char>(key))) return "";
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
        return std::string(" data-mnemonic=\"") + key + "\" aria-keyshortcuts=\"Alt+" + upper + "\"";
    }
    return "";
}

constexpr int kUnlimited = 16777215;  // Designer's "no maximum"

// A size property's width in pixels, 0 when absent.
int sizeWidth(const XmlElement& e, std::string_view name) {
    const XmlElement* p = e.propertyElement(name);
    const XmlElement* size = p ? p->child("size") : nullptr;
    const XmlElement* width = size ? size->child("width") : nullptr;
    return width ? std::stoi(width->text) : 0;
}

class Writer {
public:
    Writer(const XmlElement& ui, const std::vector<TableRow>& table) : table_(table) {
        const XmlElement* top = ui.child("widget");
        if (!top) throw std::runtime_error("no top widget");
        window_ = ui.child("class") ? ui.child("class")->text : top->attribute("name");
        for (const TableRow& row : table) rows_[row.name] = &row;
        // A label that shows a slider's value (Designer's valueChanged ->
        // setNum connection) is updated by the page as the slider moves.
        if (const XmlElement* connections = ui.child("connections"))
            for (const auto& c : connections->children) {
                const XmlElement* sender = c->child("sender");
                const XmlElement* receiver = c->child("receiver");
                const XmlElement* slot = c->child("slot");
                if (sender && receiver && slot && slot->text.rfind("setNum", 0) == 0)
                    valueLabels_[sender->text] = receiver->text;
            }
        collectBuddies(*top);
        title_ = top->property("windowTitle");
        body_ = children(*top);
    }

    WindowHtml result() const {
        for (const TableRow& row : table_)
            if (!seen_.count(row.name))
                throw std::runtime_error(window_ + ": no " + layouts::designerClassFor(row.type) + " named " +
                                         row.name + " for its table's control " + std::to_string(row.id));
        WindowHtml w{window_, title_, {}};
        w.html =
            "<template id=\"ui-" + window_ + "\" data-title=\"" + escape(title_) + "\">\n" + body_ + "</template>\n";
        return w;
    }

private:
    std::string id(const std::string& name) const { return window_ + "-" + name; }

    void collectBuddies(const XmlElement& e) {
        if (e.tag == "widget" && e.attribute("class") == "QLabel" && !e.property("buddy").empty())
            captionOf_[e.property("buddy")] = e.attribute("name");
        for (const auto& c : e.children) collectBuddies(*c);
    }

    // A control without a caption tied to it is named by its table row's
    // object name, so a screen reader has something to say.
    // A control's name for a screen reader: the one its table row gives
    // (where a caption alone would not tell it from its neighbours), else its
    // caption through <label for>, else its object name.
    std::string ariaName(const std::string& objectName) const {
        const auto row = rows_.find(objectName);
        if (row != rows_.end() && !row->second->accessibleName.empty())
            return " aria-label=\"" + escape(row->second->accessibleName) + "\"";
        return captionOf_.count(objectName) ? "" : " aria-label=\"" + escape(objectName) + "\"";
    }

    // What every element carries: its id, the table's kind, hidden state,
    // its tooltip.
    std::string common(const XmlElement& w, const std::string& cls) {
        const std::string name = w.attribute("name");
        std::string a = " id=\"" + id(name) + "\" data-name=\"" + name + "\"";
        const auto row = rows_.find(name);
        if (row != rows_.end()) {
            if (layouts::designerClassFor(row->second->type) != cls)
                throw std::runtime_error(window_ + ": " + name + " is a " + cls + ", its table row wants a " +
                                         layouts::designerClassFor(row->second->type));
            seen_[name] = true;
            a += std::string(" data-kind=\"") + layouts::pageKindFor(row->second->type) + "\"";
        }
        if (w.property("visible") == "false") a += " hidden";
        if (w.property("enabled") == "false") a += " disabled";
        // The widths the layout fixes (Designer's pixels are CSS pixels). A
        // least width gives way on a narrow screen, so that a wide list and
        // the column beside it (the script editor's) both fit at 1024 px.
        const int minimum = sizeWidth(w, "minimumSize"), maximum = sizeWidth(w, "maximumSize");
        std::string style;
        if (minimum > 0 && minimum == maximum) style = "width:" + std::to_string(minimum) + "px";
        else {
            if (minimum > 0) style = "min-width:min(" + std::to_string(minimum) + "px,38vw)";
            if (maximum > 0 && maximum < kUnlimited)
                style += (style.empty() ? "" : ";") + std::string("max-width:") + std::to_string(maximum) + "px";
        }
        if (!style.empty()) a += " style=\"" + style + "\"";
        const std::string tip = w.property("toolTip");
        if (!tip.empty()) a += " title=\"" + escape(tip) + "\"";
        return a;
    }

    int typingLimit(const XmlElement& w) const {
        const auto row = rows_.find(w.attribute("name"));
        if (row != rows_.end() && row->second->typingLimit > 0) return row->second->typingLimit;
        const std::string max = w.property("maxLength");
        return max.empty() ? 0 : std::stoi(max);
    }

    // The caption tied (as Designer's buddy) to a radio button the panel
    // holds itself, through its layouts and not inside a panel of its own.
    std::string radioCaption(const XmlElement& e) const {
        for (const auto& c : e.children) {
            if (c->tag != "widget") {
                if (std::string found = radioCaption(*c); !found.empty()) return found;
                continue;
            }
            if (c->attribute("class") != "QRadioButton") continue;
            if (const auto label = captionOf_.find(c->attribute("name")); label != captionOf_.end())
                return label->second;
        }
        return {};
    }

    std::string children(const XmlElement& w) {
        std::string out;
        for (const auto& c : w.children) {
            if (c->tag == "layout") out += layout(*c);
            else if (c->tag == "widget") out += widget(*c);
        }
        return out;
    }

    std::string item(const XmlElement& it, const std::string& place) {
        std::string out;
        for (const auto& c : it.children) {
            std::string inner;
            if (c->tag == "widget") inner = widget(*c);
            else if (c->tag == "layout") inner = layout(*c);
            else if (c->tag == "spacer") inner = "<span class=\"spacer\"></span>";
            else continue;
            if (place.empty()) {
                out += inner;
            } else {
                out += "<div class=\"cell\" style=\"" + place + "\">" + inner + "</div>";
            }
        }
        return out;
    }

    std::string layout(const XmlElement& l) {
        const std::string cls = l.attribute("class");
        std::string out;
        if (cls == "QVBoxLayout" || cls == "QHBoxLayout") {
            out = std::string("<div class=\"") + (cls == "QVBoxLayout" ? "vbox" : "hbox") + "\">";
            for (const auto& it : l.children)
                if (it->tag == "item") out += item(*it, "");
            return out + "</div>\n";
        }
        if (cls == "QGridLayout" || cls == "QFormLayout") {
            out = "<div class=\"grid\">";
            for (const auto& it : l.children) {
                if (it->tag != "item") continue;
                const int row = std::stoi(it->attribute("row").empty() ? "0" : it->attribute("row")) + 1;
                const int col = std::stoi(it->attribute("column").empty() ? "0" : it->attribute("column")) + 1;
                const std::string rs = it->attribute("rowspan"), cs = it->attribute("colspan");
                std::string place = "grid-row:" + std::to_string(row) + (rs.empty() ? "" : " / span " + rs) +
                                    ";grid-column:" + std::to_string(col) + (cs.empty() ? "" : " / span " + cs);
                out += item(*it, place);
            }
            return out + "</div>\n";
        }
        throw std::runtime_error(window_ + ": no page layout stands for " + cls);
    }

    std::string widget(const XmlElement& w) {
        const std::string cls = w.attribute("class");
        const std::string name = w.attribute("name");
        const std::string a = common(w, cls);
        const std::string text = caption(w.property("text"));
        if (cls == "QWidget" || cls == "QGroupBox") {
            parents_.push_back(name);
            const std::string inner = children(w);
            parents_.pop_back();
            if (cls == "QWidget") {
                // A row of radio buttons with a caption tied to one of them
                // (not in a group box) is a group named by it, as in Qt.
                const std::string captionName = radioCaption(w);
                const std::string group =
                    captionName.empty() ? "" : " role=\"radiogroup\" aria-labelledby=\"" + id(captionName) + "\"";
                return "<div class=\"panel\"" + a + group + ">" + inner + "</div>\n";
            }
            std::string out = "<fieldset" + a + ">";
            const std::string title = w.property("title");
            if (!title.empty()) out += "<legend>" + caption(title) + "</legend>";
            return out + inner + "</fieldset>\n";
        }
        if (cls == "QLabel") {
            // A caption tied to its control (Designer's buddy) names it for a
            // screen reader and focuses it when clicked.
            const std::string buddy = w.property("buddy");
            const std::string wrap = w.property("wordWrap") == "true" ? " class=\"wrap\"" : "";
            if (!buddy.empty())
                return "<label" + a + wrap + " for=\"" + id(buddy) + "\"" + accessKey(w.property("text")) + ">" + text +
                       "</label>";
            return "<span" + a + wrap + ">" + text + "</span>";
        }
        if (cls == "QLineEdit") {
            std::string out = "<input type=\"text\"" + a;
            if (const int limit = typingLimit(w)) out += " maxlength=\"" + std::to_string(limit) + "\"";
            if (w.property("readOnly") == "true") out += " readonly";
            const std::string hint = w.property("placeholderText");
            if (!hint.empty()) out += " placeholder=\"" + escape(hint) + "\"";
            return out + ariaName(name) + ">";
        }
        if (cls == "QPlainTextEdit") {
            return "<textarea" + a + " spellcheck=\"false\"" + ariaName(name) +
                   (w.property("readOnly") == "true" ? " readonly" : "") + "></textarea>";
        }
        if (cls == "QCheckBox" || cls == "QRadioButton") {
            const std::string type = cls == "QCheckBox" ? "checkbox" : "radio";
            // Radio buttons that share a parent widget are one group, as in Qt.
            std::string group = parents_.empty() ? window_ : parents_.back();
            // A box without a caption (a column of a grid under its heading)
            // is named by its object name.
            return "<label class=\"choice\"><input type=\"" + type + "\"" + a +
                   (type == "radio" ? " name=\"" + id(group) + "\"" : "") + (text.empty() ? ariaName(name) : "") +
                   accessKey(w.property("text")) + "><span>" + text + "</span></label>";
        }
        if (cls == "QPushButton") {
            const bool isDefault = w.property("default") == "true";
            return "<button type=\"button\"" + a + (isDefault ? " class=\"default\"" : "") +
                   accessKey(w.property("text")) + ">" + text + "</button>";
        }
        if (cls == "QComboBox") return "<select" + a + ariaName(name) + "></select>";
        if (cls == "QListWidget") return "<select class=\"listbox\" size=\"8\"" + a + ariaName(name) + "></select>";
        if (cls == "QTreeWidget") {
            std::string out = "<div class=\"table\"><table" + a + "><thead><tr>";
            for (const auto& c : w.children)
                if (c->tag == "column") out += "<th>" + escape(c->property("text")) + "</th>";
            return out + "</tr></thead><tbody></tbody></table></div>";
        }
        if (cls == "QSlider") {
            std::string out = "<input type=\"range\"" + a + ariaName(name);
            for (const auto& [prop, attr] :
                 {std::pair{"minimum", "min"}, {"maximum", "max"}, {"pageStep", "data-page"}}) {
                const std::string v = w.property(prop);
                if (!v.empty()) out += std::string(" ") + attr + "=\"" + v + "\"";
            }
            const auto label = valueLabels_.find(name);
            if (label != valueLabels_.end()) out += " data-value-label=\"" + id(label->second) + "\"";
            return out + ">";
        }
        if (cls == "QProgressBar") return "<progress" + a + " max=\"100\" value=\"0\"></progress>";
        if (cls == "QTabBar") return "<div class=\"tabbar\" role=\"tablist\"" + a + "></div>";
        if (cls == "QDialogButtonBox") {
            std::string out = "<div class=\"buttons\">";
            const std::string set = w.property("standardButtons");
            for (const char* b : {"Ok", "Cancel", "Close", "Yes", "No"})
                if (set.find(std::string("QDialogButtonBox::") + b) != std::string::npos) {
                    std::string lower = b;
                    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                    out += "<button type=\"button\" id=\"" + id(name + "." + lower) + "\" data-name=\"" + name + "." +
                           lower + "\"" + (lower == "ok" ? " class=\"default\"" : "") + ">" +
                           (lower == "ok" ? std::string("OK") : std::string(b)) + "</button>";
                }
            return out + "</div>\n";
        }
        throw std::runtime_error(window_ + ": no page element stands for " + cls + " " + name);
    }

    const std::vector<TableRow>& table_;
    std::map<std::string, const TableRow*> rows_;
    std::map<std::string, bool> seen_;
    std::map<std::string, std::string> valueLabels_;
    std::map<std::string, std::string> captionOf_;  // control -> the caption whose buddy it is
    std::vector<std::string> parents_;
    std::string window_, title_, body_;
};

}  // namespace

WindowHtml writeWindowHtml(const XmlElement& ui, const std::vector<TableRow>& table) {
    return Writer(ui, table).result();
}

std::string windowsFile(const std::vector<WindowHtml>& windows) {
    std::string out = "<!-- Generated from res/*.ui by varnel-web-pages: edit the .ui files, not this. -->\n";
    for (const WindowHtml& w : windows) out += w.html;
    return out;
}

}  // namespace varnel::web_pages
