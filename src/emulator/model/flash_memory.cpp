#include "emulator/model/flash_memory.h"

#include <algorithm>

namespace varnel {

std::uint32_t FlashMemory::eraseBlockAt(std::uint32_t address, std::uint32_t blockSize) {
    if (blockSize == 0) blockSize = 1;
    const std::uint32_t first = address - address % blockSize;
    if (first >= kSize) return first;
    const std::uint32_t end = std::min<std::uint64_t>(std::uint64_t{first} + blockSize, kSize);
    std::fill(cells_.begin() + first, cells_.begin() + end, kErased);
    return first;
}

std::optional<std::uint32_t> FlashMemory::program(std::uint32_t address, const std::uint8_t* data, std::size_t n) {
    std::optional<std::uint32_t> conflict;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t a = std::uint64_t{address} + i;
        if (a >= kSize) break;
        std::uint8_t& cell = cells_[a];
        if ((cell & data[i]) != data[i] && !conflict) conflict = static_cast<std::uint32_t>(a);
        cell &= data[i];
    }
    return conflict;
}

void FlashMemory::load(std::uint32_t address, const std::uint8_t* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t a = std::uint64_t{address} + i;
        if (a >= kSize) break;
        cells_[a] = data[i];
    }
}

}  // namespace varnel
