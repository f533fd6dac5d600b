#pragma once

#include <string>
#include <vector>

namespace varnel {

// One row of a list or combo box: the text the user sees and the value the
// record stores for it (a mode code, a row number...).
struct ListEntry {
    std::string text;
    int data = 0;
};

// What one dialog control holds, whatever its kind. An edit or label keeps its
// text, a check box or radio button its check state, a list its rows and the
// selected row (-1: none), a slider or tab control its position. Enabled and
// visible are the states the dialog's rules switch; a view copies all of it
// to and from its widgets.
struct FormControl {
    std::string text;
    bool checked = false;
    int selected = -1;
    int position = 0;
    bool enabled = true;
    bool visible = true;
    std::vector<ListEntry> entries;
};

}  // namespace varnel
