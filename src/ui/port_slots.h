#pragma once

#include <string>
#include <vector>

#include "shell/front_end.h"

namespace varnel {

// The slots in order, at most kMaxPortSlots, from the system's serial
// devices (QSerialPortInfo). extraPath ("" for none) comes first.
std::vector<PortSlot> detectPortSlots(const std::string& extraPath);

}  // namespace varnel
