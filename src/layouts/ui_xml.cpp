#include "layouts/ui_xml.h"

#include <cctype>
#include <stdexcept>

namespace varnel::layouts {

std::string XmlElement::attribute(std::string_view name) const {
    for (const auto& [key, value] : attributes)
        if (key == name) return value;
    return {};
}

const XmlElement* XmlElement::child(std::string_view childTag) const {
    for (const auto& c : children)
        if (c->tag == childTag) return c.get();
    return nullptr;
}

const XmlElement* XmlElement::propertyElement(std::string_view name) const {
    for (const auto& c : children)
        if (c->tag == "property" && c->attribute("name") == name) return c.get();
    return nullptr;
}

std::string XmlElement::property(std::string_view name) const {
    const XmlElement* p = propertyElement(name);
    if (!p || p->children.empty()) return {};
    return p->children.front()->text;
}

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    std::unique_ptr<XmlElement> document() {
        skipMisc();
        auto root = element();
        skipMisc();
        return root;
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error(std::string(what) + " at offset " + std::to_string(i_));
    }
    bool at(std::string_view token) const { return s_.substr(i_, token.size()) == token; }
    void skipSpace() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    void skipPast(std::string_view end) {
        const std::size_t at = s_.find(end, i_);
        if (at == std::string_view::npos) fail("unterminated markup");
        i_ = at + end.size();
    }
    // Declarations, processing instructions and comments between elements.
    void skipMisc() {
        for (;;) {
            skipSpace();
            if (at("<?")) skipPast("?>");
            else if (at("<!--")) skipPast("-->");
            else if (at("<!")) skipPast(">");
            else return;
        }
    }
    std::string name() {
        const std::size_t start = i_;
        while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' || s_[i_] == '-' ||
                                  s_[i_] == ':' || s_[i_] == '.'))
            ++i_;
        if (i_ == start) fail("expected a name");
        return std::string(s_.substr(start, i_ - start));
    }
    std::string decode(std::string_view raw) const {
        std::string out;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] != '&') {
                out += raw[k];
                continue;
            }
            const std::size_t semi = raw.find(';', k);
            if (semi == std::string_view::npos) fail("unterminated entity");
            const std::string_view entity = raw.substr(k + 1, semi - k - 1);
            if (entity == "amp") out += '&';
            else if (entity == "lt") out += '<';
            else if (entity == "gt") out += '>';
            else if (entity == "quot") out += '"';
            else if (entity == "apos") out += '\'';
            else if (!entity.empty() && entity[0] == '#') {
                const unsigned long code = entity.size() > 1 && entity[1] == 'x'
                                               ? std::stoul(std::string(entity.substr(2)), nullptr, 16)
                                               : std::stoul(std::string(entity.substr(1)));
                appendUtf8(out, code);
            } else {
                fail("unknown entity");
            }
            k = semi;
        }
        return out;
    }
    static void appendUtf8(std::string& out, unsigned long c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    std::unique_ptr<XmlElement> element() {
        if (!at("<")) fail("expected an element");
        ++i_;
        auto e = std::make_unique<XmlElement>();
        e->tag = name();
        for (;;) {
            skipSpace();
            if (at("/>")) {
                i_ += 2;
                return e;
            }
            if (at(">")) {
                ++i_;
                break;
            }
            std::string key = name();
            skipSpace();
            if (!at("=")) fail("expected '='");
            ++i_;
            skipSpace();
            const char quote = i_ < s_.size() ? s_[i_] : '\0';
            if (quote != '"' && quote != '\'') fail("expected a quoted value");
            const std::size_t end = s_.find(quote, ++i_);
            if (end == std::string_view::npos) fail("unterminated value");
            e->attributes.emplace_back(std::move(key), decode(s_.substr(i_, end - i_)));
            i_ = end + 1;
        }
        for (;;) {
            const std::size_t textEnd = s_.find('<', i_);
            if (textEnd == std::string_view::npos) fail("unterminated element");
            e->text += decode(s_.substr(i_, textEnd - i_));
            i_ = textEnd;
            if (at("<!--")) {
                skipPast("-->");
            } else if (at("</")) {
                i_ += 2;
                if (name() != e->tag) fail("mismatched end tag");
                skipSpace();
                if (!at(">")) fail("expected '>'");
                ++i_;
                break;
            } else {
                e->children.push_back(element());
            }
        }
        // Whitespace around child elements is indentation, not content.
        if (!e->children.empty()) e->text.clear();
        return e;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

}  // namespace

std::unique_ptr<XmlElement> parseXml(std::string_view text) { return Reader(text).document(); }

}  // namespace varnel::layouts
