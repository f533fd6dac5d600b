#pragma once

#include "forms/common/form_control.h"

namespace varnel::web {

// The name of a table row's kind as the page knows it: the generated
// windows carry it on each element (data-kind) and the binding hands it to
// the page script with each control.
inline const char* controlKindName(ControlType type) {
    switch (type) {
    case ControlType::Tab: return "tab";
    case ControlType::Group: return "group";
    case ControlType::Label: return "label";
    case ControlType::Edit: return "edit";
    case ControlType::DigitEdit: return "digits";
    case ControlType::Check: return "check";
    case ControlType::ThreeState: return "threestate";
    case ControlType::Radio: return "radio";
    case ControlType::Button: return "button";
    case ControlType::List: return "list";
    case ControlType::Slider: return "slider";
    case ControlType::ListBox: return "listbox";
    }
    return "";
}

}  // namespace varnel::web
