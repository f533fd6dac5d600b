#include "link/stray_write.h"

#include <algorithm>
#include <vector>

#include "link/boot_protocol.h"

namespace varnel {

namespace bp = boot_protocol;

// A write the bootloader took but that did not land where it was sent went,
// most likely, one flipped bit of its address field away. Inside the image
// the final check or a later erase deals with it; flash outside the image
// nothing would ever read again, so look for the block's bytes there. Far
// away, its own place stayed erased and the neighbour holds the block
// (programmed over whatever was there: no bit set that the block has clear).
// Near (a low bit), the copy overlaps its own place, which then holds the
// block moved by as much, erased where the copy left it; only the part of
// the copy beyond its own place can have reached outside the image.
std::optional<std::uint32_t> findStrayWrite(const FlashImage& image, const AddressRules& rules, const SentBlock& block,
                                            const DeviceRead& read) {
    const std::uint32_t length = block.length, offset = block.offset;
    const std::uint32_t own = block.address + offset;
    const long field = rules.field(own);
    if (field < 0 || length == 0) return std::nullopt;
    const auto data = image.bytes.begin() + block.address;
    if (std::all_of(data, data + length, [](std::uint8_t b) { return b == 0xFF; })) return std::nullopt;
    std::vector<std::uint8_t> here(length);
    for (std::uint32_t at = 0; at < length; at += bp::kReadChunk) {
        const std::uint32_t n = std::min(bp::kReadChunk, length - at);
        if (!read(own + at, n, here.data() + at)) return std::nullopt;
    }
    const bool leftErased = std::all_of(here.begin(), here.end(), [](std::uint8_t b) { return b == 0xFF; });
    const auto outsideImage = [&](std::uint32_t device) {
        return device < offset || image.touched[device - offset] == kUntouched;
    };
    std::vector<std::uint8_t> there(length);
    for (std::uint32_t bit = 1; bit < bp::kAddressFieldLimit; bit <<= 1) {
        const std::uint32_t at = rules.byteAddress(static_cast<std::uint32_t>(field) ^ bit);
        if (at + length > kFlashSize) continue;
        const bool overlaps = at < own + length && own < at + length;
        if (!overlaps) {
            if (!leftErased) continue;
            bool reachesOut = false;
            for (std::uint32_t i = 0; i < length && !reachesOut; ++i) reachesOut = outsideImage(at + i);
            if (!reachesOut) continue;
            if (!read(at, length, there.data())) continue;
            bool erased = true, fits = true;
            for (std::uint32_t i = 0; i < length; ++i) {
                erased = erased && there[i] == 0xFF;
                fits = fits && (there[i] & ~data[i]) == 0;
            }
            if (!erased && fits) return at;
            continue;
        }
        // Moved by `shift` bytes: what its own place holds now, byte for byte.
        const long shift = static_cast<long>(at) - static_cast<long>(own);
        bool moved = true;
        for (std::uint32_t i = 0; i < length && moved; ++i) {
            const long from = static_cast<long>(i) - shift;
            const std::uint8_t expected = from >= 0 && from < static_cast<long>(length) ? data[from] : 0xFF;
            moved = here[i] == expected;
        }
        if (!moved) continue;
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::uint32_t device = at + i;
            const bool beyondOwn = device < own || device >= own + length;
            if (beyondOwn && data[i] != 0xFF && outsideImage(device)) return at;
        }
        return std::nullopt;  // it stayed inside the image
    }
    return std::nullopt;
}

}  // namespace varnel
