#include "web/form_binding.h"

#include <cstdlib>
#include <vector>

#include "layouts/control_kinds.h"
#include "web/page_bridge.h"

namespace varnel::web::control_binding {

namespace {

bool isEdit(ControlType t) { return t == ControlType::Edit || t == ControlType::DigitEdit; }

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == sep) out.emplace_back();
        else out.back() += c;
    }
    return out;
}

}  // namespace

std::string utf8FromBytes(std::string_view bytes) {
    std::string out;
    for (char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string bytesFromUtf8(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        unsigned code = c;
        int length = 1;
        if (c >= 0xF0) code = 0x10000, length = 4;
        else if (c >= 0xE0) code = 0x800, length = 3;
        else if (c >= 0xC0 && i + 1 < text.size())
            code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu), length = 2;
        // A character beyond one byte cannot be stored; '?' is what the
        // record would show for it.
        out += code < 256 ? static_cast<char>(code) : '?';
        i += static_cast<std::size_t>(length);
    }
    return out;
}

bool find(int token, std::string_view name, ControlType type, std::string_view tooltip) {
    const std::string n(name);
    if (page::getControl(token, n, layouts::pageKindFor(type)).empty()) return false;
    if (!tooltip.empty()) page::setTooltip(token, n, std::string(tooltip));
    return true;
}

void takeCaption(int token, std::string_view name, FormControl& c) {
    if (!c.text.empty()) return;
    c.text = page::caption(token, std::string(name));
}

void toControl(int token, std::string_view name, ControlType type, const FormControl& c) {
    std::string entries;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        if (i) entries += '\x1e';
        entries += type == ControlType::ListBox ? utf8FromBytes(c.entries[i].text) : c.entries[i].text;
    }
    const std::string text = isEdit(type) ? utf8FromBytes(c.text) : c.text;
    page::setControl(token, std::string(name), layouts::pageKindFor(type), text, c.checked, c.selected, c.position,
                     c.enabled, c.visible, entries);
}

void fromControl(int token, std::string_view name, ControlType type, FormControl& c) {
    const std::vector<std::string> f =
        split(page::getControl(token, std::string(name), layouts::pageKindFor(type)), '\x1f');
    if (f.size() != 4) return;
    switch (type) {
    case ControlType::Edit:
    case ControlType::DigitEdit: c.text = bytesFromUtf8(f[0]); break;
    case ControlType::Check:
    case ControlType::Radio: c.checked = f[1] == "1"; break;
    case ControlType::List:
    case ControlType::ListBox: c.selected = std::atoi(f[2].c_str()); break;
    case ControlType::Slider:
    case ControlType::ThreeState: c.position = std::atoi(f[3].c_str()); break;
    default: break;  // the tab position, captions and states belong to the form
    }
}

}  // namespace varnel::web::control_binding
