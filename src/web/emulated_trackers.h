#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "emulator/model/device_model.h"
#include "shell/front_end.h"

namespace varnel::web {

// The trackers the page emulates, so every window can be tried with nothing
// plugged in: one per chip, and a weather station. Each keeps its flash for
// as long as the page is open, so a Write is read back by the next Connect.
class EmulatedTrackers {
public:
    // The connect window's slots for them.
    std::vector<PortSlot> slots() const;
    // The tracker a slot's path names (made on first use), nullptr for a
    // path that is none of them.
    DeviceModel* modelFor(const std::string& path);

private:
    std::map<std::string, std::unique_ptr<DeviceModel>> models_;
};

}  // namespace varnel::web
