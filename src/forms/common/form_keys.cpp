#include "forms/common/form_keys.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "forms/common/form_numbers.h"
#include "session/session.h"

namespace varnel {

namespace {

using K = KeyType;

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string join(const std::vector<ListEntry>& entries) {
    std::string out;
    for (const auto& e : entries) out += (out.empty() ? "" : ", ") + e.text;
    return out;
}

std::string either(const FormKey& key) {
    return "expected " + std::string(key.first) + " or " + std::string(key.second);
}

}  // namespace

const FormKey* findFormKey(std::span<const FormKey> keys, std::string_view key) {
    for (const auto& k : keys)
        if (k.key == key) return &k;
    return nullptr;
}

namespace {

bool printable(unsigned char c) { return c >= 0x20 && c < 0x7F; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string shownKeyText(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (printable(c)) {
            out += ch;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string typedKeyText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = hexValue(text[i + 2]), low = hexValue(text[i + 3]);
            if (high >= 0 && low >= 0 && !printable(static_cast<unsigned char>(high * 16 + low))) {
                out += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string formKeyValue(const KeyedForm& form, const FormKey& key) {
    const FormControl& c = *form.control(key.id);
    switch (key.type) {
    case K::Text: return shownKeyText(c.text);
    case K::Integer:
    case K::Decimal:
    case K::Hemisphere: return c.text;
    case K::Check: return c.checked ? "1" : "0";
    case K::Choice:
        if (c.checked) return std::string(key.first);
        if (form.control(key.altId)->checked) return std::string(key.second);
        return "";
    case K::List:
        return c.selected >= 0 && c.selected < static_cast<int>(c.entries.size()) ? c.entries[c.selected].text : "";
    case K::Slider: return formatInt(c.position);
    case K::Row:
        for (int i = key.id; i <= key.altId; ++i)
            if (form.control(i)->checked) return form.control(i)->text;
        return "";
    }
    return "";
}

std::string applyFormKey(KeyedForm& form, const FormKey& key, std::string_view value) {
    const std::string k(key.key);
    if (!form.available(key)) return k + " is not available on this device";
    if (!form.editable(key)) return k + " cannot be changed while its control is disabled";
    FormControl& c = *form.control(key.id);

    switch (key.type) {
    case K::Text:
    case K::Integer:
    case K::Decimal: {
        const std::string typed = key.type == K::Text ? typedKeyText(value) : std::string(value);
        // The limit is the box's typing limit: a longer text the record
        // holds is shown whole, and given back unchanged it stays.
        const int limit = form.typingLimit(key.id);
        if (limit > 0 && typed.size() > static_cast<std::size_t>(limit) && typed != c.text)
            return k + ": at most " + std::to_string(limit) + " characters";
        if (key.type == K::Integer && !isFormInt(value)) return k + ": expected a whole number";
        if (key.type == K::Decimal && !isFormDecimal(value)) return k + ": expected a number";
        c.text = typed;
        break;
    }
    case K::Check:
        if (value != "0" && value != "1") return k + ": expected 0 or 1";
        c.checked = value == "1";
        break;
    case K::Choice:
        if (sameWord(value, key.first)) {
            c.checked = true;
            form.control(key.altId)->checked = false;
        } else if (sameWord(value, key.second)) {
            form.control(key.altId)->checked = true;
            c.checked = false;
        } else {
            return k + ": " + either(key);
        }
        break;
    case K::Hemisphere: {
        // The button shows its hemisphere's letter; one click toggles it.
        const bool wantSecond = sameWord(value, key.second);
        if (!wantSecond && !sameWord(value, key.first)) return k + ": " + either(key);
        if (wantSecond != sameWord(c.text, key.second)) form.changed(key.id);
        return "";
    }
    case K::List: {
        const auto it = std::find_if(c.entries.begin(), c.entries.end(),
                                     [&](const ListEntry& e) { return sameWord(e.text, value); });
        if (it == c.entries.end()) return k + ": expected one of " + join(c.entries);
        c.selected = static_cast<int>(it - c.entries.begin());
        break;
    }
    case K::Slider: {
        const int maximum = form.sliderMaximum(key.id);
        std::string expected = k + ": expected 0 to " + std::to_string(maximum);
        if (value.empty() || !isFormInt(value)) return expected;
        const long long v = readFormInt(value);
        if (v < 0 || v > maximum) return expected;
        c.position = static_cast<int>(v);
        break;
    }
    case K::Row: {
        int pick = 0;
        std::string captions;
        for (int i = key.id; i <= key.altId; ++i) {
            if (sameWord(form.control(i)->text, value)) pick = i;
            captions += (captions.empty() ? "" : ", ") + form.control(i)->text;
        }
        if (pick == 0) return k + ": expected one of " + captions;
        for (int i = key.id; i <= key.altId; ++i) form.control(i)->checked = i == pick;
        form.changed(pick);
        return "";
    }
    }
    form.changed(key.type == K::Choice && form.control(key.altId)->checked ? key.altId : key.id);
    return "";
}

std::vector<std::pair<std::string, std::string>> deviceKeyValues(const Session& session) {
    return {
        {"family", formatInt(session.settings.family())},
        {"type", formatInt(session.settings.type())},
        {"build", formatInt(session.settings.build())},
        {"deviceId", session.link.deviceInfo.deviceId},
    };
}

std::string deviceKeyRefusal(std::string_view key) {
    if (key == "family" || key == "type" || key == "build" || key == "deviceId")
        return std::string(key) + " comes from the device's firmware and cannot be set";
    return "";
}

}  // namespace varnel
