#pragma once

#include <span>
#include <string>
#include <vector>

#include "forms/common/form_control.h"
#include "shell/front_end.h"

class QObject;
class QWidget;

namespace varnel {

// The Qt class each kind of dialog control is drawn with.
const char* widgetClassFor(ControlType type);

// What the binding does with one widget, whatever the dialog; FormBinding
// walks a dialog's control table and calls these.
namespace widget_binding {

// The widget named `name` under `root` if it is of the class `type` is drawn
// with, given its typing limit, tooltip and accessible name; nullptr
// otherwise.
QWidget* find(QWidget& root, std::string_view name, ControlType type, int typingLimit, std::string_view tooltip,
              std::string_view accessibleName);

// A label's, group box's or button's caption from the layout, for a control
// whose caption the form leaves empty.
void takeCaption(const QWidget& widget, FormControl& control);

// Form -> widget: text, check, list rows and selection, slider and tab
// position, enabled and visible, with the widget's signals blocked.
void toWidget(QWidget& widget, ControlType type, int typingLimit, const FormControl& control);

// Widget -> form: what the user can change (edit text, check, radio choice,
// list selection, slider position).
void fromWidget(const QWidget& widget, ControlType type, FormControl& control);

// The widget's user events to `events`, by control id, for as long as
// `receiver` lives: typing, a list's choice and a slider's moves as edited,
// a button's or check box's click and a radio button turned on as clicked,
// the tab turned as tabChanged.
void forward(QWidget& widget, int id, ControlType type, QObject& receiver, ControlEvents& events);

}  // namespace widget_binding

// Ties the widgets of a dialog's layout to its form, one widget per row of
// the dialog's control table, found by object name. All of the dialog's
// rules live in the form; this only copies state across.
template <class Form>
class FormBinding {
public:
    using Table = std::span<const ControlInfo<Form>>;

    // Finds the widgets under `root` and gives the edits their typing limits
    // and every control its tooltip and accessible name. The table must outlive the binding.
    FormBinding(QWidget& root, Table table) : table_(table), widgets_(table.size(), nullptr) {
        for (std::size_t i = 0; i < table_.size(); ++i) {
            const ControlInfo<Form>& info = table_[i];
            widgets_[i] =
                widget_binding::find(root, info.name, info.type, info.typingLimit, info.tooltip, info.accessibleName);
            if (!widgets_[i]) missing_.emplace_back(info.name);
        }
    }

    // Object names of rows with no widget of the right class (empty when the
    // layout is complete).
    const std::vector<std::string>& missing() const { return missing_; }

    QWidget* widget(int controlId) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (table_[i].id == controlId) return widgets_[i];
        return nullptr;
    }

    // Labels, buttons and boxes whose caption the form leaves to the layout
    // take the layout's caption, so that copying the form back keeps it.
    void takeCaptions(Form& form) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (widgets_[i]) widget_binding::takeCaption(*widgets_[i], form.*(table_[i].member));
    }

    // Form -> widgets. No widget signal fires meanwhile.
    void toWidgets(const Form& form) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (widgets_[i])
                widget_binding::toWidget(*widgets_[i], table_[i].type, table_[i].typingLimit, form.*(table_[i].member));
    }

    // Every widget's user events to `events`, by control id.
    void forwardEvents(QObject& receiver, ControlEvents& events) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (widgets_[i]) widget_binding::forward(*widgets_[i], table_[i].id, table_[i].type, receiver, events);
    }

    // Widgets -> form: what the user can change. Tab positions, captions and
    // states belong to the form.
    void fromWidgets(Form& form) const {
        for (std::size_t i = 0; i < table_.size(); ++i)
            if (widgets_[i]) widget_binding::fromWidget(*widgets_[i], table_[i].type, form.*(table_[i].member));
    }

private:
    Table table_;
    std::vector<QWidget*> widgets_;
    std::vector<std::string> missing_;
};

}  // namespace varnel
