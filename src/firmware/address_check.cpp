#include "firmware/address_check.h"

#include <cstdio>

#include "core/user_interface.h"

namespace varnel {

int validateImageAddresses(const FlashImage& image, const DeviceInfo& info, TargetKind kind, UserInterface& ui) {
    // The JM128 bootloader counts the end of its programmable area in 4-byte
    // units; the start is a plain address below 64 KiB.
    const std::uint32_t upper = kind == KindJM128 ? std::uint32_t{info.validEnd} * 4 : info.validEnd;

    // Only loaded or packed bytes count: the generated vector jump table (2)
    // may sit where firmware itself must not.
    auto firstLoaded = [&](std::uint32_t from, std::uint32_t to) -> std::optional<std::uint32_t> {
        for (std::uint32_t a = from; a < to && a < kFlashSize; ++a)
            if (image.touched[a] == kTouchedData) return a;
        return std::nullopt;
    };

    std::optional<std::uint32_t> hit = firstLoaded(0, info.validStart);
    if (!hit) hit = firstLoaded(upper, kFlashSize);
    if (!hit) return 0;

    // upper is the first address past the range; the user is shown the last
    // one inside it ("0870 to f9ff"), so the range reads as inclusive.
    const std::uint32_t lastValid = upper > 0 ? upper - 1 : 0;
    char text[96];
    std::snprintf(text, sizeof text, "Invalid address: %04x (valid range %04x to %04x)", static_cast<unsigned>(*hit),
                  static_cast<unsigned>(info.validStart), static_cast<unsigned>(lastValid));
    ui.message(text);
    return -1;
}

}  // namespace varnel
