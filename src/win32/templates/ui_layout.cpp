#include "win32/templates/ui_layout.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace varnel::templates {

namespace {

// Windows layout guidance in dialog units: a dialog's margin, the gap
// between related controls, and the heights of the standard controls.
constexpr int kMargin = 7;
constexpr int kSpacing = 4;
constexpr int kGroupTop = 11;  // a group box's caption sits in its top margin
constexpr int kLabelHeight = 8;
constexpr int kEditHeight = 12;
constexpr int kButtonHeight = 14;
constexpr int kCheckHeight = 10;
constexpr int kComboHeight = 12;
constexpr int kButtonWidth = 50;
constexpr int kUnlimited = 16777215;  // Designer's "no maximum"

// Designer measures in pixels of a Qt window, whose font is about 7 pixels
// wide on average (as wide as Wine's dialog font; Windows' own is 6): a
// dialog unit, a quarter of that, is 1.75 pixels across and 1.625 down, so
// that fixed sizes keep their proportion to the text.
int pixelsToUnitsX(int px) { return (px * 4 + 3) / 7; }
int pixelsToUnitsY(int px) { return (px * 8 + 12) / 13; }

struct Size {
    int width = 0, height = 0;
    bool growX = false, growY = false;
};

struct Rect {
    int x, y, width, height;
};

int intProperty(const XmlElement& e, std::string_view name, int fallback) {
    const std::string v = e.property(name);
    return v.empty() ? fallback : std::stoi(v);
}

// A size property (<size><width>..</width><height>..</height></size>) in pixels.
bool sizeProperty(const XmlElement& e, std::string_view name, int& width, int& height) {
    const XmlElement* p = e.propertyElement(name);
    const XmlElement* size = p ? p->child("size") : nullptr;
    if (!size) return false;
    const XmlElement* w = size->child("width");
    const XmlElement* h = size->child("height");
    width = w ? std::stoi(w->text) : 0;
    height = h ? std::stoi(h->text) : 0;
    return true;
}

std::vector<std::string> standardButtons(const XmlElement& box) {
    std::vector<std::string> names;
    const std::string set = box.property("standardButtons");
    for (const char* b : {"Ok", "Cancel", "Close", "Yes", "No"})
        if (set.find(std::string("QDialogButtonBox::") + b) != std::string::npos) names.emplace_back(b);
    return names;
}

std::string buttonCaption(const std::string& standard) { return standard == "Ok" ? "OK" : standard; }

class LayoutEngine {
public:
    explicit LayoutEngine(DialogLayout& out) : out_(out) {}

    // A widget the file hides takes no room in a box layout, as in Qt's. In
    // a grid it keeps its cell's room (`hiddenKeepsRoom`): that is where a
    // file keeps what a window shows later (the receive level on JM60), and
    // a Windows window cannot make room when it shows a control.
    Size measureItem(const XmlElement& item, bool hiddenKeepsRoom = false) {
        if (const XmlElement* w = item.child("widget")) return measureWidget(*w, hiddenKeepsRoom);
        if (const XmlElement* l = item.child("layout")) return measureLayout(*l);
        if (const XmlElement* s = item.child("spacer")) return measureSpacer(*s);
        throw std::runtime_error("layout item holds nothing known");
    }

    void placeItem(const XmlElement& item, Rect r, const std::string& parent, bool gridCell = false) {
        if (const XmlElement* w = item.child("widget")) placeWidget(*w, r, parent, gridCell);
        else if (const XmlElement* l = item.child("layout")) placeLayout(*l, r, parent);
    }

    Size measureLayout(const XmlElement& layout) {
        const std::string cls = layout.attribute("class");
        const Margins m = margins(layout);
        Size s;
        if (cls == "QGridLayout") {
            const Grid g = grid(layout);
            s.width = sum(g.columns) + kSpacing * std::max(0, int(g.columns.size()) - 1);
            s.height = sum(g.rows) + kSpacing * std::max(0, int(g.rows.size()) - 1);
            s.growX = std::find(g.growColumns.begin(), g.growColumns.end(), true) != g.growColumns.end();
            s.growY = std::find(g.growRows.begin(), g.growRows.end(), true) != g.growRows.end();
        } else {
            const bool across = cls == "QHBoxLayout";
            int count = 0;
            for (const XmlElement* item : items(layout)) {
                const Size is = measureItem(*item);
                if (is.width == 0 && is.height == 0 && !is.growX && !is.growY) continue;
                ++count;
                if (across) {
                    s.width += is.width;
                    s.height = std::max(s.height, is.height);
                } else {
                    s.height += is.height;
                    s.width = std::max(s.width, is.width);
                }
                s.growX |= is.growX;
                s.growY |= is.growY;
            }
            (across ? s.width : s.height) += kSpacing * std::max(0, count - 1);
        }
        s.width += m.left + m.right;
        s.height += m.top + m.bottom;
        return s;
    }

    void placeLayout(const XmlElement& layout, Rect r, const std::string& parent) {
        const Margins m = margins(layout);
        r = {r.x + m.left, r.y + m.top, r.width - m.left - m.right, r.height - m.top - m.bottom};
        const std::string cls = layout.attribute("class");
        if (cls == "QGridLayout") {
            Grid g = grid(layout);
            const std::vector<int> xs = spread(g.columns, g.growColumns, r.x, r.width);
            const std::vector<int> ys = spread(g.rows, g.growRows, r.y, r.height);
            for (const XmlElement* item : items(layout)) {
                const int row = std::stoi(item->attribute("row"));
                const int col = std::stoi(item->attribute("column"));
                const int rowSpan = span(*item, "rowspan"), colSpan = span(*item, "colspan");
                const int right = xs[col + colSpan - 1] + g.columns[col + colSpan - 1];
                const int bottom = ys[row + rowSpan - 1] + g.rows[row + rowSpan - 1];
                placeItem(*item, {xs[col], ys[row], right - xs[col], bottom - ys[row]}, parent, true);
            }
            return;
        }
        const bool across = cls == "QHBoxLayout";
        std::vector<int> lengths;
        std::vector<bool> grows;
        std::vector<const XmlElement*> kept;
        for (const XmlElement* item : items(layout)) {
            const Size is = measureItem(*item);
            if (is.width == 0 && is.height == 0 && !is.growX && !is.growY) {
                // A hidden widget is still in the template, where the
                // row starts, for the dialog's rules to show.
                placeItem(*item, r, parent);
                continue;
            }
            kept.push_back(item);
            lengths.push_back(across ? is.width : is.height);
            grows.push_back(across ? is.growX : is.growY);
        }
        const std::vector<int> at = spread(lengths, grows, across ? r.x : r.y, across ? r.width : r.height);
        for (std::size_t i = 0; i < kept.size(); ++i) {
            if (across) placeItem(*kept[i], {at[i], r.y, lengths[i], r.height}, parent);
            else placeItem(*kept[i], {r.x, at[i], r.width, lengths[i]}, parent);
        }
    }

private:
    struct Margins {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    struct Grid {
        std::vector<int> columns, rows;
        std::vector<bool> growColumns, growRows;
    };

    static int sum(const std::vector<int>& v) {
        int s = 0;
        for (int x : v) s += x;
        return s;
    }

    static int span(const XmlElement& item, std::string_view name) {
        const std::string v = item.attribute(name);
        return v.empty() ? 1 : std::max(1, std::stoi(v));
    }

    static std::vector<const XmlElement*> items(const XmlElement& layout) {
        std::vector<const XmlElement*> out;
        for (const auto& c : layout.children)
            if (c->tag == "item") out.push_back(c.get());
        return out;
    }

    // Nested layouts have no margin of their own unless the file gives one;
    // the dialog's and each group box's are added where they are placed.
    static Margins margins(const XmlElement& layout) {
        return {pixelsToUnitsX(intProperty(layout, "leftMargin", 0)),
                pixelsToUnitsY(intProperty(layout, "topMargin", 0)),
                pixelsToUnitsX(intProperty(layout, "rightMargin", 0)),
                pixelsToUnitsY(intProperty(layout, "bottomMargin", 0))};
    }

    // Lengths laid end to end from `start` with the spacing between them;
    // the room beyond what they ask for goes to those that grow, in equal
    // shares, and stretches them in place.
    static std::vector<int> spread(std::vector<int>& lengths, const std::vector<bool>& grows, int start, int room) {
        const int wanted = sum(lengths) + kSpacing * std::max(0, int(lengths.size()) - 1);
        const int growing = static_cast<int>(std::count(grows.begin(), grows.end(), true));
        int extra = std::max(0, room - wanted);
        if (growing > 0) {
            int left = growing;
            for (std::size_t i = 0; i < lengths.size(); ++i)
                if (grows[i]) {
                    const int share = extra / left--;
                    lengths[i] += share;
                    extra -= share;
                }
        }
        std::vector<int> at;
        for (int len : lengths) {
            at.push_back(start);
            start += len + kSpacing;
        }
        return at;
    }

    Grid grid(const XmlElement& layout) {
        Grid g;
        struct Cell {
            int row, col, rowSpan, colSpan;
            Size size;
        };
        std::vector<Cell> cells;
        for (const XmlElement* item : items(layout)) {
            Cell c{std::stoi(item->attribute("row")), std::stoi(item->attribute("column")), span(*item, "rowspan"),
                   span(*item, "colspan"), measureItem(*item, true)};
            cells.push_back(c);
            if (int(g.columns.size()) < c.col + c.colSpan) g.columns.resize(c.col + c.colSpan, 0);
            if (int(g.rows.size()) < c.row + c.rowSpan) g.rows.resize(c.row + c.rowSpan, 0);
        }
        g.growColumns.assign(g.columns.size(), false);
        g.growRows.assign(g.rows.size(), false);
        // Single cells first, then a spanning cell widens the spanned columns
        // or rows by what they lack.
        for (int pass = 0; pass < 2; ++pass)
            for (const Cell& c : cells) {
                const bool single = c.colSpan == 1 && c.rowSpan == 1;
                if ((pass == 0) != single) continue;
                fit(g.columns, g.growColumns, c.col, c.colSpan, c.size.width);
                fit(g.rows, g.growRows, c.row, c.rowSpan, c.size.height);
                if (c.size.growX && !anyGrows(g.growColumns, c.col, c.colSpan))
                    g.growColumns[c.col + c.colSpan - 1] = true;
                if (c.size.growY && !anyGrows(g.growRows, c.row, c.rowSpan)) g.growRows[c.row + c.rowSpan - 1] = true;
            }
        return g;
    }

    static bool anyGrows(const std::vector<bool>& grows, int first, int count) {
        return std::find(grows.begin() + first, grows.begin() + first + count, true) != grows.begin() + first + count;
    }

    // What a spanning cell lacks goes, as in Qt, to a spanned column that
    // grows (an edit beside a button keeps the button button-sized), else
    // to the last one.
    static void fit(std::vector<int>& lengths, const std::vector<bool>& grows, int first, int count, int wanted) {
        int have = kSpacing * (count - 1);
        for (int i = first; i < first + count; ++i) have += lengths[i];
        if (have >= wanted) return;
        int widened = first + count - 1;
        for (int i = first; i < first + count; ++i)
            if (grows[i]) widened = i;
        lengths[widened] += wanted - have;
    }

    Size measureSpacer(const XmlElement& spacer) {
        int w = 0, h = 0;
        sizeProperty(spacer, "sizeHint", w, h);
        const bool across = spacer.property("orientation") != "Qt::Vertical";
        Size s{pixelsToUnitsX(w), pixelsToUnitsY(h), across, !across};
        // A spacer that takes no room still pushes its neighbours apart.
        return s;
    }

    // What the widget itself asks for, before its size limits. A mnemonic's
    // ampersand is drawn as an underline and takes no room (a caption names
    // its control through its buddy; buttons always take a mnemonic).
    Size naturalSize(const XmlElement& w) {
        const std::string cls = w.attribute("class");
        const bool mnemonic = cls != "QLabel" || !w.property("buddy").empty();
        const std::string text = mnemonic ? withoutMnemonic(w.property("text")) : w.property("text");
        if (cls == "QLabel") {
            if (w.property("wordWrap") == "true") {
                const int width = std::min(textWidth(text), 220);
                const int lines = (textWidth(text) + width - 1) / std::max(width, 1);
                return {width, kLabelHeight * std::max(lines, 1)};
            }
            return {textWidth(text), kLabelHeight};
        }
        if (cls == "QLineEdit") return {50, kEditHeight, true, false};
        if (cls == "QCheckBox" || cls == "QRadioButton") return {textWidth(text) + 14, kCheckHeight};
        if (cls == "QPushButton") return {std::max(kButtonWidth, textWidth(text) + 10), kButtonHeight};
        if (cls == "QComboBox") return {64, kComboHeight};
        if (cls == "QSlider") {
            if (w.property("orientation") == "Qt::Vertical") return {18, 60, false, true};
            // About 160 pixels, enough to pick one of 256 levels, and more
            // where its row has room; a value label beside it still fits
            // the main window into 1024 pixels.
            return {90, w.property("tickPosition").empty() ? 15 : 20, true, false};
        }
        if (cls == "QProgressBar") return {120, 10, true, false};
        if (cls == "QTabBar") return {120, kButtonHeight, true, false};
        if (cls == "QListWidget" || cls == "QTreeWidget" || cls == "QPlainTextEdit") return {160, 80, true, true};
        if (cls == "QDialogButtonBox") {
            const int n = static_cast<int>(standardButtons(w).size());
            return {n * kButtonWidth + (n - 1) * kSpacing, kButtonHeight, true, false};
        }
        if (cls == "QGroupBox" || cls == "QWidget") {
            const XmlElement* inner = w.child("layout");
            Size s = inner ? measureLayout(*inner) : Size{};
            if (cls == "QGroupBox") {
                s.width = std::max(s.width + 2 * kMargin, textWidth(w.property("title")) + 2 * kMargin);
                s.height += kGroupTop + kMargin;
            }
            return s;
        }
        throw std::runtime_error("no Windows control stands for " + cls);
    }

    Size measureWidget(const XmlElement& w, bool hiddenKeepsRoom = false) {
        if (w.property("visible") == "false" && !hiddenKeepsRoom) return {};
        Size s = naturalSize(w);
        int minW = 0, minH = 0, maxW = kUnlimited, maxH = kUnlimited;
        sizeProperty(w, "minimumSize", minW, minH);
        sizeProperty(w, "maximumSize", maxW, maxH);
        if (minW > 0) s.width = std::max(s.width, pixelsToUnitsX(minW));
        if (minH > 0) s.height = std::max(s.height, pixelsToUnitsY(minH));
        if (maxW < kUnlimited) {
            s.width = std::min(s.width, pixelsToUnitsX(maxW));
            s.growX = false;
        }
        if (maxH < kUnlimited) {
            s.height = std::min(s.height, pixelsToUnitsY(maxH));
            s.growY = false;
        }
        return s;
    }

    // Controls of one line's height stay that high and sit in the middle of
    // a taller cell; boxes, lists and text areas fill it.
    static bool fillsHeight(const XmlElement& w) {
        const std::string cls = w.attribute("class");
        return cls == "QGroupBox" || cls == "QWidget" || cls == "QListWidget" || cls == "QTreeWidget" ||
               cls == "QPlainTextEdit" || (cls == "QLabel" && w.property("wordWrap") == "true");
    }

    // A hidden widget outside a grid is given the start of the room its
    // layout has (it took none); in a grid cell it is placed as if shown.
    void placeWidget(const XmlElement& w, Rect r, const std::string& parent, bool gridCell) {
        const std::string cls = w.attribute("class");
        const bool hidden = w.property("visible") == "false";
        const Size want = measureWidget(w, true);
        int maxW = kUnlimited, maxH = kUnlimited;
        sizeProperty(w, "maximumSize", maxW, maxH);
        if (maxW < kUnlimited) r.width = std::min(r.width, pixelsToUnitsX(maxW));
        if (hidden && !gridCell) {
            r.width = std::min(want.width, r.width);
            r.height = std::min(want.height, r.height);
        } else if (!fillsHeight(w) || (maxH < kUnlimited)) {
            const int h = std::min(want.height, r.height);
            r.y += (r.height - h) / 2;
            r.height = h;
        }
        const std::string name = w.attribute("name");
        if (cls == "QDialogButtonBox") {
            // Standard buttons sit at the right end of the box's row.
            const std::vector<std::string> buttons = standardButtons(w);
            int x = r.x + r.width - int(buttons.size()) * (kButtonWidth + kSpacing) + kSpacing;
            for (const std::string& b : buttons) {
                PlacedControl c{"QPushButton", name + "." + b, buttonCaption(b), parent, x,
                                r.y,           kButtonWidth,   kButtonHeight};
                c.isDefault = b == "Ok" || b == "Close";
                c.element = &w;
                out_.controls.push_back(c);
                x += kButtonWidth + kSpacing;
            }
            return;
        }
        PlacedControl c{cls,     name,     cls == "QGroupBox" ? w.property("title") : w.property("text"),
                        parent,  r.x,      r.y,
                        r.width, r.height, hidden};
        c.isDefault = w.property("default") == "true";
        c.element = &w;
        if (cls != "QWidget") out_.controls.push_back(c);
        if (const XmlElement* inner = w.child("layout")) {
            Rect content = r;
            if (cls == "QGroupBox")
                content = {r.x + kMargin, r.y + kGroupTop, r.width - 2 * kMargin, r.height - kGroupTop - kMargin};
            placeLayout(*inner, content, name);
        }
    }

    DialogLayout& out_;
};

}  // namespace

// The text as drawn when an ampersand marks its mnemonic: a lone "&" goes;
// a doubled one stays as it is measured ("C&&X" is the Windows spelling of
// "C&X", and a template keeps it).
std::string withoutMnemonic(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
            out += "&&";
            ++i;
        } else if (text[i] != '&') {
            out += text[i];
        }
    }
    return out;
}

int textWidth(const std::string& text) {
    // Per-character widths of Tahoma/MS Sans Serif 8 pt in quarter
    // dialog units, with a small margin; a multi-byte UTF-8 character counts once.
    int quarters = 0;
    for (unsigned char ch : text) {
        if ((ch & 0xC0) == 0x80) continue;
        if (ch == '&') continue;  // a mnemonic marker is not drawn
        if (std::string_view("iljtfrI.,:;!|' ()[]").find(static_cast<char>(ch)) != std::string_view::npos)
            quarters += 9;
        else if (std::string_view("mwMWGOQD%@").find(static_cast<char>(ch)) != std::string_view::npos) quarters += 22;
        else if (ch >= 'A' && ch <= 'Z') quarters += 18;
        else quarters += 15;
    }
    return quarters * 103 / 400 + 3;
}

DialogLayout layOutDialog(const XmlElement& ui) {
    DialogLayout d;
    const XmlElement* cls = ui.child("class");
    const XmlElement* top = ui.child("widget");
    if (!cls || !top) throw std::runtime_error("not a Designer dialog");
    d.name = cls->text;
    d.title = top->property("windowTitle");
    const XmlElement* layout = top->child("layout");
    if (!layout) throw std::runtime_error("the dialog has no layout");
    LayoutEngine engine(d);
    Size s = engine.measureLayout(*layout);
    int minW = 0, minH = 0;
    if (sizeProperty(*top, "minimumSize", minW, minH)) {
        s.width = std::max(s.width, pixelsToUnitsX(minW) - 2 * kMargin);
        s.height = std::max(s.height, pixelsToUnitsY(minH) - 2 * kMargin);
    }
    d.width = s.width + 2 * kMargin;
    d.height = s.height + 2 * kMargin;
    engine.placeLayout(*layout, {kMargin, kMargin, s.width, s.height}, top->attribute("name"));
    return d;
}

}  // namespace varnel::templates
