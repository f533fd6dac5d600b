#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnel::layouts {

// One element of a Qt Designer file: its tag, attributes, text and children.
// Designer writes plain XML (no DTD, no CDATA in our layouts), so this reads
// elements, attributes, text, comments and the five named entities only.
struct XmlElement {
    std::string tag;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
    std::vector<std::unique_ptr<XmlElement>> children;

    // The attribute's value, or "" when absent.
    std::string attribute(std::string_view name) const;
    // The first child with this tag, or nullptr.
    const XmlElement* child(std::string_view tag) const;
    // The text of <property name="..."> under this element: its <string>,
    // <enum>, <set>, <number> or <bool>; "" when absent.
    std::string property(std::string_view name) const;
    const XmlElement* propertyElement(std::string_view name) const;
};

// Parses a whole document; throws std::runtime_error with the offset on
// malformed input.
std::unique_ptr<XmlElement> parseXml(std::string_view text);

}  // namespace varnel::layouts
