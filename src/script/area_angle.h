#pragma once

#include <cstdint>

namespace varnel {

// The firmware keeps "If In Area" corners as signed 32-bit binary angles:
// 360 degrees span the whole 2^32 range, north and east positive.
inline constexpr double kAngleUnitsPerDegree = 11930464.7111;

// Degrees (within +-180) -> stored angle, truncated toward zero. Values beyond
// +-180 are held at the ends of the 32-bit range instead of overflowing.
std::int32_t encodeAngle(double degrees);
double decodeAngle(std::int32_t angle);

std::int32_t getI32BE(const std::uint8_t* p);
void putI32BE(std::uint8_t* p, std::int32_t v);

}  // namespace varnel
