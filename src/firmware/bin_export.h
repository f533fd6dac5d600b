#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// The raw binary export of a tracker's memory: a 128-byte header, then device
// memory 0x0880 up to 0xFA00 byte for byte. The same addresses on every chip.
namespace bin_export {
inline constexpr std::uint8_t kMarker = 0x1D;
inline constexpr std::uint32_t kStart = 0x0880;
inline constexpr std::uint32_t kEnd = 0xFA00;
inline constexpr std::size_t kHeaderSize = 128;
inline constexpr std::size_t kFileSize = kHeaderSize + (kEnd - kStart);  // 61952
}  // namespace bin_export

// The file's bytes from a 64 KiB buffer indexed by device address. Header
// bytes 3..127 are zero.
std::vector<std::uint8_t> buildBinExport(const std::vector<std::uint8_t>& memory);

// Writes the bytes to path; false when the file cannot be created or written.
bool writeBinExport(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace varnel
