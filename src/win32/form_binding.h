#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "forms/common/form_control.h"
#include "shell/front_end.h"

namespace varnel::win32 {

// What the binding does with one Windows control, whatever the dialog;
// FormBinding walks a dialog's control table and calls these.
namespace control_binding {

// Whether the control is the Windows control a row of this kind is drawn
// with (an edit for Edit, a check box button for Check...).
bool isKind(HWND control, ControlType type);

// The control with this id in the dialog if it is of the row's kind, given
// its typing limit, its accessible name and, through the dialog's tooltip
// window, its tooltip; nullptr otherwise.
HWND find(HWND dialog, HWND tooltips, int id, ControlType type, int typingLimit, std::string_view tooltip,
          std::string_view accessibleName);

// A label's, group box's or button's caption from the template, for a
// control whose caption the form leaves empty.
void takeCaption(HWND control, FormControl& form);

// Form -> control: text, check, list rows and selection, slider and tab
// position, enabled and visible. The dialog ignores the notifications this
// sends (see FormBinding::updating).
void toControl(HWND control, ControlType type, int typingLimit, const FormControl& form);

// Control -> form: what the user can change (edit text, check, radio choice,
// list selection, slider position).
void fromControl(HWND control, ControlType type, FormControl& form);

// The tooltip window a dialog's controls share.
HWND createTooltips(HWND dialog);

// A control's notification to `events` as its user's doing: typing and a
// list's choice as edited, a button's or check box's click and a radio
// button turned on as clicked; the tab control turned as tabChanged.
void forward(int id, ControlType type, int code, HWND control, ControlEvents& events);
void forwardNotify(const NMHDR& header, ControlType type, ControlEvents& events);

}  // namespace control_binding

// Ties the controls of a dialog template to its form, one control per row of
// the dialog's control table, found by id. All of the dialog's rules live in
// the form; this only copies state across.
template <class Form>
class FormBinding {
public:
    using Table = std::span<const ControlInfo<Form>>;

    FormBinding(HWND dialog, Table table) : table_(table), controls_(table.size(), nullptr) {
        const HWND tooltips = control_binding::createTooltips(dialog);
        for (std::size_t i = 0; i < table_.size(); ++i) {
            const ControlInfo<Form>& info = table_[i];
            controls_[i] = control_binding::find(dialog, tooltips, info.id, info.type, info.typingLimit, info.tooltip,
                                                 info.accessibleName);
            if (!controls_[i]) missing_.push_back(info.id);
        }
    }

    // Ids of rows with no control of the right kind (empty when the
    // template is complete).
    const std::vector<int>& missing() const { return missing_; }

    HWND control(int controlId) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (table_[i].id == controlId) return controls_[i];
        return nullptr;
    }
    const ControlInfo<Form>* row(int controlId) const { return findControl(table_, controlId); }

    void takeCaptions(Form& form) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (controls_[i]) control_binding::takeCaption(controls_[i], form.*(table_[i].member));
    }

    // Form -> controls. `updating()` is true meanwhile, so a dialog can tell
    // its own changes from the user's.
    void toControls(const Form& form) {
        updating_ = true;
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (controls_[i])
                control_binding::toControl(controls_[i], table_[i].type, table_[i].typingLimit,
                                           form.*(table_[i].member));
        updating_ = false;
    }

    // Controls -> form: what the user can change. Tab positions, captions and
    // states belong to the form.
    void fromControls(Form& form) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (controls_[i]) control_binding::fromControl(controls_[i], table_[i].type, form.*(table_[i].member));
    }

    bool updating() const { return updating_; }

    // WM_COMMAND, WM_HSCROLL and WM_NOTIFY of the dialog's controls to
    // `events` by control id, none while the binding itself changes them. A
    // click of a button outside the table (Escape's IDCANCEL) is a click; a
    // slider reports each move, not only its end.
    void forwardCommand(int id, int code, HWND control, ControlEvents& events) const {
        if (updating_) return;
        if (const ControlInfo<Form>* info = row(id)) control_binding::forward(id, info->type, code, control, events);
        else if (code == BN_CLICKED) events.clicked(id);
    }
    void forwardScroll(HWND control, ControlEvents& events) const {
        const int id = GetDlgCtrlID(control);
        const ControlInfo<Form>* info = row(id);
        if (!updating_ && info && info->type == ControlType::Slider) events.edited(id);
    }
    void forwardNotify(const NMHDR& header, ControlEvents& events) const {
        const int id = static_cast<int>(header.idFrom);
        const ControlInfo<Form>* info = row(id);
        if (info && !updating_) control_binding::forwardNotify(header, info->type, events);
    }

private:
    Table table_;
    std::vector<HWND> controls_;
    std::vector<int> missing_;
    bool updating_ = false;
};

}  // namespace varnel::win32
