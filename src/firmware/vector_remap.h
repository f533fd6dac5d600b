#pragma once

#include "firmware/flash_image.h"
#include "link/device_info.h"

namespace varnel {

// KX8, AP64 and JL16 bootloaders keep the hardware vector table for
// themselves: the firmware's vectors are moved into a jump table at
// redirectBase. Chips whose id starts with "AW" or "JM" are left alone.
int remapVectors(FlashImage& image, const DeviceInfo& info);

}  // namespace varnel
