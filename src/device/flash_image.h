#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace varnel {

// 256 KiB covers the largest chip (JM128); the index is the device address.
inline constexpr std::uint32_t kFlashSize = 0x40000;
inline constexpr std::uint8_t kErasedByte = 0xFF;

// Markers of the TouchedMap: what the next write programs.
inline constexpr std::uint8_t kUntouched = 0;
inline constexpr std::uint8_t kTouchedData = 1;     // loaded from firmware or packed settings
inline constexpr std::uint8_t kTouchedVectors = 2;  // generated vector jump table

using TouchedMap = std::vector<std::uint8_t>;

// The in-memory mirror of device flash plus one marker per byte. Every write
// to the device programs exactly the bytes whose marker is not 0.
struct FlashImage {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kFlashSize, kErasedByte);
    TouchedMap touched = TouchedMap(kFlashSize, kUntouched);

    // All bytes erased, nothing marked.
    void reset();
    // [lowest, highest + 1) of the touched bytes, or nothing when none is.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> touchedSpan() const;
};

}  // namespace varnel
