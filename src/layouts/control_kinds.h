#pragma once

#include "forms/common/form_control.h"

namespace varnel::layouts {

// What each kind of table row is called where a window is drawn: the
// Designer class a layout draws it with (what the generators and the Qt
// binding look for under the row's name), and the kind the page's generated
// windows carry on each element (data-kind), which the page's binding hands
// to its script with each control.
struct ControlKindNames {
    ControlType type;
    const char* designerClass;
    const char* pageKind;
};

inline constexpr ControlKindNames kControlKinds[] = {
    {ControlType::Tab, "QTabBar", "tab"},
    {ControlType::Group, "QGroupBox", "group"},
    {ControlType::Label, "QLabel", "label"},
    {ControlType::Edit, "QLineEdit", "edit"},
    {ControlType::DigitEdit, "QLineEdit", "digits"},
    {ControlType::Check, "QCheckBox", "check"},
    {ControlType::ThreeState, "QCheckBox", "threestate"},
    {ControlType::Radio, "QRadioButton", "radio"},
    {ControlType::Button, "QPushButton", "button"},
    {ControlType::List, "QComboBox", "list"},
    {ControlType::Slider, "QSlider", "slider"},
    {ControlType::ListBox, "QListWidget", "listbox"},
};

constexpr const ControlKindNames* namesOf(ControlType type) {
    for (const ControlKindNames& k : kControlKinds)
        if (k.type == type) return &k;
    return nullptr;
}

constexpr const char* designerClassFor(ControlType type) {
    const ControlKindNames* k = namesOf(type);
    return k ? k->designerClass : "";
}

constexpr const char* pageKindFor(ControlType type) {
    const ControlKindNames* k = namesOf(type);
    return k ? k->pageKind : "";
}

}  // namespace varnel::layouts
