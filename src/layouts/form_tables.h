#pragma once

#include <string>
#include <vector>

#include "forms/common/form_control.h"
#include "layouts/control_kinds.h"

namespace varnel::layouts {

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

}  // namespace varnel::layouts
