#pragma once

#include <cstddef>
#include <cstdint>

namespace varnel {

// The trackers are 8-bit big-endian machines: every 16-bit value in flash, in
// the script and on the wire has its high byte first.
inline std::uint16_t getU16BE(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

inline void putU16BE(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v & 0xFF);
}

// The JL16's channel frequencies are 32-bit Hz values, high byte first.
inline std::uint32_t getU32BE(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(getU16BE(p)) << 16) | getU16BE(p + 2);
}

inline void putU32BE(std::uint8_t* p, std::uint32_t v) {
    putU16BE(p, static_cast<std::uint16_t>(v >> 16));
    putU16BE(p + 2, static_cast<std::uint16_t>(v & 0xFFFF));
}

}  // namespace varnel
