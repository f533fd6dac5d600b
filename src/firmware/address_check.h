#pragma once

#include "config/device_target.h"
#include "device/device_info.h"
#include "device/flash_image.h"

namespace varnel {

class UserInterface;

// 0 when no byte marked as loaded (1) lies outside the chip's programmable
// range; -1 after "Invalid address: %04x (valid range %04x to %04x)".
int validateImageAddresses(const FlashImage& image, const DeviceInfo& info, TargetKind kind, UserInterface& ui);

}  // namespace varnel
