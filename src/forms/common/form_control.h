#pragma once

#include <span>
#include <string>
#include <string_view>
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

// List is a drop-down list; ListBox a list of rows shown all at once (its
// entries are the rows, `selected` the chosen row). DigitEdit is an edit that
// takes only digits from the keyboard. ThreeState is a check box that can
// also be indeterminate: its `position` is 0 unchecked, 1 checked,
// 2 indeterminate.
enum class ControlType { Tab, Group, Label, Edit, Check, Radio, Button, List, Slider, ListBox, DigitEdit, ThreeState };

// One control of a dialog: its id, the object name the Qt layout gives it,
// what kind of widget it is, where it lives in the dialog's form, the most
// characters an edit lets the user type (0: no limit), its tooltip and the
// short name a screen reader speaks for it. Each dialog keeps one table of
// these; every front end binds its widgets through it.
//
// Most controls need no accessible name: a check box, radio button or push
// button is named by its own text, and an edit or list by the caption the
// layout makes its buddy. The name is for the controls that have neither,
// or whose caption would not tell them apart (the second of "and ... and",
// a degrees box beside a hemisphere button, a row of a grid).
template <class Form>
struct ControlInfo {
    int id;
    std::string_view name;
    ControlType type;
    FormControl Form::*member;
    int typingLimit;
    std::string_view tooltip;
    std::string_view accessibleName = {};
};

template <class Form>
const ControlInfo<Form>* findControl(std::span<const ControlInfo<Form>> table, int id) {
    for (const auto& info : table)
        if (info.id == id) return &info;
    return nullptr;
}

// The form's control with this id, reached through its table; nullptr for an
// id the dialog does not have.
template <class Form>
FormControl* controlOf(Form& form, std::span<const ControlInfo<Form>> table, int id) {
    const ControlInfo<Form>* info = findControl(table, id);
    return info ? &(form.*(info->member)) : nullptr;
}

}  // namespace varnel
