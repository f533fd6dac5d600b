#include "device/flash_image.h"

#include <algorithm>

namespace varnel {

void FlashImage::reset() {
    std::fill(bytes.begin(), bytes.end(), kErasedByte);
    std::fill(touched.begin(), touched.end(), kUntouched);
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> FlashImage::touchedSpan() const {
    auto first = std::find_if(touched.begin(), touched.end(), [](auto m) { return m != kUntouched; });
    if (first == touched.end()) return std::nullopt;
    auto last = std::find_if(touched.rbegin(), touched.rend(), [](auto m) { return m != kUntouched; });
    return std::make_pair(static_cast<std::uint32_t>(first - touched.begin()),
                          static_cast<std::uint32_t>(touched.rend() - last));
}

}  // namespace varnel
