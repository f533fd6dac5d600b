#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "config/device_target.h"
#include "device/flash_image.h"
#include "link/boot_protocol.h"

namespace varnel {

// How a chip's bootloader addresses its flash, in one place. The address
// field of every command is two bytes. The JM128 bootloader counts 4-byte
// units in it: its byte addresses travel divided by four, a write covers
// whole units (a span starting or ending inside one would land up to 3 bytes
// low), and it writes with 'V', whose address may carry an offset (the
// staging area below), so a write is read back where it landed. Every other
// chip's bootloader counts bytes and writes with 'W' at the image address.
class AddressRules {
public:
    explicit AddressRules(TargetKind kind) : shift_(kind == KindJM128 ? kJm128Shift : 0) {}

    // The address field for a byte address, or -1 when it does not fit.
    long field(std::uint32_t byteAddress) const {
        const std::uint32_t f = byteAddress >> shift_;
        return f < boot_protocol::kAddressFieldLimit ? static_cast<long>(f) : -1;
    }
    // The byte address an address field names.
    std::uint32_t byteAddress(std::uint32_t field) const { return field << shift_; }
    // The unit addresses count in: 4 bytes on JM128, else 1.
    std::uint32_t unit() const { return std::uint32_t{1} << shift_; }
    // [first, last) widened to whole units, ending no later than the flash.
    std::pair<std::uint32_t, std::uint32_t> wholeUnits(std::uint32_t first, std::uint32_t last) const {
        const std::uint32_t u = unit();
        return {first / u * u, std::min((last + u - 1) / u * u, kFlashSize)};
    }
    // Whether writes go as 'V' (a checksum over the data, at an address
    // offset) rather than as 'W'.
    bool writesChecked() const { return shift_ != 0; }
    // Where a block written with `eraseOffset` is read back, relative to its
    // image address: 'V' lands at the offset, 'W' at the image address.
    std::uint32_t readBackOffset(std::uint32_t eraseOffset) const { return writesChecked() ? eraseOffset : 0; }

private:
    static constexpr unsigned kJm128Shift = 2;
    unsigned shift_;
};

// The JM128 firmware load. Its bootloader cannot overwrite the low 0x7000
// bytes it runs beside: stage 1 writes them 0x10000 higher, stage 2 takes
// them over with 'U', and stage 3 writes the rest in place.
namespace staged_load {
inline constexpr unsigned kLowPartEnd = 0x7000;
inline constexpr unsigned kStagingOffset = 0x10000;
inline constexpr unsigned kForcedTouchedEnd = 0x17000;  // stages 1 and 3 write all below this
// Stage 3 ends before the chip's last byte, as the tracker firmware expects.
inline constexpr unsigned kStage3End = 0x1FFFF;
}  // namespace staged_load

}  // namespace varnel
