#pragma once

#include <string>
#include <vector>

#include "forms/common/form_control.h"

namespace varnel::templates {

// One row of a dialog's control table as the template generator needs it.
struct TableRow {
    int id;
    std::string name;
    ControlType type;
    int typingLimit;
    std::string accessibleName = {};
};

// The control table of the window drawn by a Designer file, by the file's
// <class>; windows without a table get an empty list.
std::vector<TableRow> formTableFor(const std::string& dialogName);

// The Designer class a control of this kind is drawn with (what the Qt
// binding looks for under the row's name).
const char* designerClassFor(ControlType type);

}  // namespace varnel::templates
