#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "device/flash_image.h"
#include "link/address_rules.h"

namespace varnel {

// A block as a write sent it: the image's bytes [address, address + length),
// sent to device address address + offset.
struct SentBlock {
    std::uint32_t address;
    std::uint32_t length;
    std::uint32_t offset;
};

// Reads `length` bytes of device memory at `address` so that they count
// (confirmed); false when they did not come.
using DeviceRead = std::function<bool(std::uint32_t address, std::uint32_t length, std::uint8_t* destination)>;

// Where a block whose read-back differs went, when that is one flipped bit of
// its address field away and reaches outside what the image writes (flash
// nothing would ever read again); nothing when it is not found, or stayed
// inside the image, or its own place cannot be read.
std::optional<std::uint32_t> findStrayWrite(const FlashImage& image, const AddressRules& rules, const SentBlock& block,
                                            const DeviceRead& read);

}  // namespace varnel
