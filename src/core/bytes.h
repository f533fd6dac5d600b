#pragma once

#include <cstddef>
#include <cstdint>

namespace varnel {

// The trackers are 8-bit big-endian machines: every 16-bit value in flash, in
// the script and on the wire has its high byte first.
inline std::uint16_t getU16BE(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline void putU16BE(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v & 0xFF);
}

}  // namespace varnel
