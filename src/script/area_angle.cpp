#include "script/area_angle.h"

#include <cmath>
#include <limits>

namespace varnel {

std::int32_t encodeAngle(double degrees) {
    double units = std::trunc(degrees * kAngleUnitsPerDegree);
    if (!(units > static_cast<double>(std::numeric_limits<std::int32_t>::min())))
        return std::numeric_limits<std::int32_t>::min();
    if (units > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(units);
}

double decodeAngle(std::int32_t angle) { return angle / kAngleUnitsPerDegree; }

std::int32_t getI32BE(const std::uint8_t* p) {
    std::uint32_t u =
        (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    return static_cast<std::int32_t>(u);
}

void putI32BE(std::uint8_t* p, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<std::uint8_t>(u >> 24);
    p[1] = static_cast<std::uint8_t>(u >> 16);
    p[2] = static_cast<std::uint8_t>(u >> 8);
    p[3] = static_cast<std::uint8_t>(u);
}

}  // namespace varnel
