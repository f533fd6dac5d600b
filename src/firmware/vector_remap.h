#pragma once

#include <cstdint>

#include "device/device_info.h"
#include "device/flash_image.h"

namespace varnel {

// KX8, AP64 and JL16 bootloaders keep the hardware vector table for
// themselves: the firmware's vectors are moved into a jump table at
// redirectBase. Chips whose id starts with "AW" or "JM" are left alone.
int remapVectors(FlashImage& image, const DeviceInfo& info);

// Where a firmware image for this chip keeps its reset vector: the hardware
// vector at 0xFFFE on the chips whose table is remapped, the relocated one
// (redirectBase + 0xFFFE - vectorLow) on "AW" and "JM" chips.
std::uint32_t resetVectorAddress(const DeviceInfo& info);

// True when the loaded image (before remapVectors) gives the reset vector:
// both bytes loaded and not the erased 0xFFFF. Without one the tracker could
// not start the firmware once its old code is erased, so a caller asks (or
// refuses) before writing.
bool imageHasResetVector(const FlashImage& image, const DeviceInfo& info);

inline constexpr const char* kNoResetVector =
    "This firmware image has no reset vector, so the tracker would not start after it is written.";

}  // namespace varnel
