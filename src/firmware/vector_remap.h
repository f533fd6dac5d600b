#pragma once

#include "device/device_info.h"
#include "device/flash_image.h"

namespace varnel {

// KX8, AP64 and JL16 bootloaders keep the hardware vector table for
// themselves: the firmware's vectors are moved into a jump table at
// redirectBase. Chips whose id starts with "AW" or "JM" are left alone.
int remapVectors(FlashImage& image, const DeviceInfo& info);

}  // namespace varnel
