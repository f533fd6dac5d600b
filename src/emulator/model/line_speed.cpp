#include "emulator/model/line_speed.h"

namespace varnel {

std::vector<std::uint8_t> hearAtSpeed(const std::uint8_t* data, std::size_t n, std::uint32_t sent,
                                      std::uint32_t listening) {
    if (sent == 0 || listening == 0 || sent == listening) return {data, data + n};
    if (sent < listening) return std::vector<std::uint8_t>(n, 0x00);
    return {};
}

}  // namespace varnel
