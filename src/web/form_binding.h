#pragma once

#include <span>
#include <string>
#include <string_view>

#include "forms/common/form_control.h"

namespace varnel::web {

// What the binding does with one element of a window, whatever the window;
// FormBinding walks a window's control table and calls these.
namespace control_binding {
// The tooltip, and a check that the generated window has the row's element.
bool find(int token, std::string_view name, ControlType type, std::string_view tooltip);
// The layout's caption of a label, group, button, check or radio whose form
// leaves it empty.
void takeCaption(int token, std::string_view name, FormControl& form);
// Form -> element: text, check, list rows and selection, slider and tab
// position, enabled and visible.
void toControl(int token, std::string_view name, ControlType type, const FormControl& form);
// Element -> form: what the user can change.
void fromControl(int token, std::string_view name, ControlType type, FormControl& form);
// Records keep texts as bytes; the page shows them as Latin-1 characters.
std::string utf8FromBytes(std::string_view bytes);
std::string bytesFromUtf8(std::string_view text);
}  // namespace control_binding

// Ties the elements of a generated window to its form, one element per row
// of the window's control table, found by the row's name. All of the
// window's rules live in the form; this only copies state across.
template <class Form>
class FormBinding {
public:
    using Table = std::span<const ControlInfo<Form>>;
    FormBinding(int token, Table table) : token_(token), table_(table) {
        for (const ControlInfo<Form>& info : table_)
            if (!control_binding::find(token_, info.name, info.type, info.tooltip)) ++missing_;
    }
    int missing() const { return missing_; }
    const ControlInfo<Form>* row(int controlId) const { return findControl(table_, controlId); }
    const ControlInfo<Form>* row(std::string_view name) const {
        for (const ControlInfo<Form>& info : table_)
            if (info.name == name) return &info;
        return nullptr;
    }
    void takeCaptions(Form& form) const {
        for (const ControlInfo<Form>& info : table_)
            control_binding::takeCaption(token_, info.name, form.*(info.member));
    }
    void toControls(const Form& form) {
        updating_ = true;
        for (const ControlInfo<Form>& info : table_)
            control_binding::toControl(token_, info.name, info.type, form.*(info.member));
        updating_ = false;
    }
    void fromControls(Form& form) const {
        for (const ControlInfo<Form>& info : table_)
            control_binding::fromControl(token_, info.name, info.type, form.*(info.member));
    }
    bool updating() const { return updating_; }

private:
    int token_;
    Table table_;
    int missing_ = 0;
    bool updating_ = false;
};

}  // namespace varnel::web
