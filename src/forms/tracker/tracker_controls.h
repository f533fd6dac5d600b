#pragma once

#include <array>
#include <string_view>

#include "forms/tracker/tracker_form.h"

namespace varnel {

// One control of the main tracker dialog (see ControlInfo).
using TrackerControlInfo = ControlInfo<TrackerForm>;

inline constexpr std::size_t kTrackerControlCount = 106;
extern const std::array<TrackerControlInfo, kTrackerControlCount> kTrackerControls;

const TrackerControlInfo* findTrackerControl(int id);

}  // namespace varnel
