#pragma once

#include "forms/tracker/tracker_controls.h"
#include "ui/form_binding.h"

namespace varnel {

// The main tracker dialog's widgets bound to its TrackerForm through
// kTrackerControls.
class TrackerFormBinding : public FormBinding<TrackerForm> {
public:
    explicit TrackerFormBinding(QWidget& root) : FormBinding(root, kTrackerControls) {}
};

}  // namespace varnel
