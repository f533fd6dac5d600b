#pragma once

#include <string>
#include <vector>

#include "layouts/ui_xml.h"

namespace varnel::templates {

using layouts::parseXml;
using layouts::XmlElement;

// One control of a laid-out dialog, in dialog units, in the order of the
// Designer file (which is the tab order). A button box becomes one push
// button per standard button, named "<box>.ok", "<box>.cancel"...
struct PlacedControl {
    std::string qtClass;
    std::string name;
    std::string text;
    std::string parent;  // the widget it sits in: radio buttons sharing one are exclusive
    int x = 0, y = 0, width = 0, height = 0;
    bool hidden = false;
    bool isDefault = false;  // the default push button
    const XmlElement* element = nullptr;
};

struct DialogLayout {
    std::string name;  // the <class> of the Designer file: the resource's name
    std::string title;
    int width = 0, height = 0;
    std::vector<PlacedControl> controls;
};

// Lays a Designer file's layouts out as Qt would at the size they ask for,
// with the widths and heights of Windows controls in dialog units (a
// dialog unit is a quarter of the dialog font's average character width and
// an eighth of its height). Throws std::runtime_error on what it cannot lay.
DialogLayout layOutDialog(const XmlElement& ui);

// Width in dialog units of a caption in the dialog font, a little generous so
// that no caption is clipped.
int textWidth(const std::string& text);
// The text as drawn with its mnemonic: a lone "&" removed, "&&" kept.
std::string withoutMnemonic(const std::string& text);

}  // namespace varnel::templates
