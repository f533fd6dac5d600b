#pragma once

#include "forms/tracker/tracker_controls.h"
#include "shell/tracker_window.h"
#include "web/forwarding_view.h"

namespace varnel::web {

// The main tracker window (families 0 and 2) over the shell's TrackerWindow.
class CTrackerConfigDialog : public ForwardingView<TrackerView, TrackerWindow, TrackerForm> {
public:
    CTrackerConfigDialog(PageLoop& loop, AppContext& context)
        : ForwardingView(loop, "TrackerConfigDialog", context, kTrackerControls) {}
};

}  // namespace varnel::web
