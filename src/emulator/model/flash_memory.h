#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace varnel {

// The tracker's flash array as the silicon behaves: erasing sets a whole
// erase block to 0xFF, programming can only clear bits. Programming a byte
// that would need a 0 turned back into a 1 leaves old & new in the cell, just
// as the real part does; the caller is told so it can log the mistake.
class FlashMemory {
public:
    static constexpr std::uint32_t kSize = 0x40000;  // 256 KiB, the largest chip
    static constexpr std::uint8_t kErased = 0xFF;

    FlashMemory() : cells_(kSize, kErased) {}

    // Erases the aligned block of blockSize bytes that holds address.
    // Returns the block's first address.
    std::uint32_t eraseBlockAt(std::uint32_t address, std::uint32_t blockSize);

    // Programs data at address (clipped to the array). Returns the first
    // address whose new value needed a bit set that was not erased.
    std::optional<std::uint32_t> program(std::uint32_t address, const std::uint8_t* data, std::size_t n);

    // Reads; bytes beyond the array read as erased.
    std::uint8_t read(std::uint32_t address) const { return address < kSize ? cells_[address] : kErased; }

    // Loading a file or default settings: stores bytes as given, no flash rules.
    void load(std::uint32_t address, const std::uint8_t* data, std::size_t n);

    const std::vector<std::uint8_t>& cells() const { return cells_; }

private:
    std::vector<std::uint8_t> cells_;
};

}  // namespace varnel
