#include "firmware/vector_remap.h"

#include <algorithm>

namespace varnel {

namespace {
constexpr std::uint8_t kJmpExtended = 0xCC;   // HC08 JMP with a 16-bit address
constexpr std::uint32_t kTopVector = 0xFFFE;  // reset vector, the highest one

bool relocatesVectorsInHardware(const DeviceInfo& info) {
    return info.deviceId.starts_with("AW") || info.deviceId.starts_with("JM");
}

}  // namespace

std::uint32_t resetVectorAddress(const DeviceInfo& info) {
    if (!relocatesVectorsInHardware(info)) return kTopVector;
    return info.redirectBase + (kTopVector - std::min<std::uint32_t>(info.vectorLow, kTopVector));
}

bool imageHasResetVector(const FlashImage& image, const DeviceInfo& info) {
    const std::uint32_t at = resetVectorAddress(info);
    return image.touched[at] != kUntouched && image.touched[at + 1] != kUntouched &&
           (image.bytes[at] != kErasedByte || image.bytes[at + 1] != kErasedByte);
}

int remapVectors(FlashImage& image, const DeviceInfo& info) {
    if (relocatesVectorsInHardware(info)) return 0;

    std::uint32_t p = info.redirectBase;
    std::copy(info.redirectPrologue.begin(), info.redirectPrologue.end(), image.bytes.begin() + p);
    p += static_cast<std::uint32_t>(info.redirectPrologue.size());

    // One JMP per vector, highest vector first: entry k serves 0xFFFE - 2k.
    // The bootloader's own vectors jump into this table, so the hardware
    // table itself is never programmed.
    bool firmwareHasVectors = false;
    for (std::uint32_t v = kTopVector; v >= info.vectorLow; v -= 2) {
        image.bytes[p] = kJmpExtended;
        image.bytes[p + 1] = image.bytes[v];
        image.bytes[p + 2] = image.bytes[v + 1];
        p += 3;
        if (image.touched[v] != kUntouched && image.touched[v + 1] != kUntouched) firmwareHasVectors = true;
        image.touched[v] = kUntouched;
        image.touched[v + 1] = kUntouched;
        if (v < 2) break;
    }

    if (firmwareHasVectors)
        std::fill(image.touched.begin() + info.redirectBase, image.touched.begin() + p, kTouchedVectors);
    return 0;
}

}  // namespace varnel
