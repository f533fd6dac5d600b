#pragma once

#include <array>
#include <string>
#include <vector>

#include "forms/tracker_controls.h"

class QWidget;

namespace varnel {

// The Qt class each kind of tracker-dialog control is drawn with.
const char* widgetClassFor(ControlType type);

// Ties the widgets of the tracker dialog's layout to a TrackerForm, one
// widget per row of kTrackerControls, found by object name. All of the
// dialog's rules live in the form; this only copies state across.
class TrackerFormBinding {
public:
    // Finds the widgets under `root` and gives the edits their typing limits
    // and every control its tooltip.
    explicit TrackerFormBinding(QWidget& root);

    // Object names of rows with no widget of the right class (empty when the
    // layout is complete).
    const std::vector<std::string>& missing() const { return missing_; }

    QWidget* widget(int controlId) const;

    // Labels, buttons and boxes whose caption the form leaves to the layout
    // take the layout's caption, so that copying the form back keeps it.
    void takeCaptions(TrackerForm& form) const;

    // Form -> widgets: texts, checks, list rows and selection, slider and tab
    // positions, enabled and visible. No widget signal fires meanwhile.
    void toWidgets(const TrackerForm& form) const;

    // Widgets -> form: what the user can change (edit texts, checks, radio
    // choices, list selections, the slider).
    void fromWidgets(TrackerForm& form) const;

private:
    std::array<QWidget*, kTrackerControlCount> widgets_{};
    std::vector<std::string> missing_;
};

}  // namespace varnel
