#pragma once

#include <array>
#include <string_view>

#include "forms/tracker_form.h"

namespace varnel {

enum class ControlType { Tab, Group, Label, Edit, Check, Radio, Button, List, Slider };

// One control of the main tracker dialog: its id, the object name the Qt
// layout gives it, what kind of widget it is, where it lives in the form, the
// most characters an edit accepts (0: no limit) and its tooltip.
struct TrackerControlInfo {
    int id;
    std::string_view name;
    ControlType type;
    FormControl TrackerForm::*member;
    int typingLimit;
    std::string_view tooltip;
};

inline constexpr std::size_t kTrackerControlCount = 105;
extern const std::array<TrackerControlInfo, kTrackerControlCount> kTrackerControls;

const TrackerControlInfo* findTrackerControl(int id);

}  // namespace varnel
