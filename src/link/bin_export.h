#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace varnel {

class BootLink;

// The raw image file (.bin): a 128-byte header, then device memory from
// 0x0880 up to 0xFA00 byte for byte. The addresses are the same for every chip.
namespace bin_export_layout {
inline constexpr std::uint8_t kMarker = 0x1D;         // header byte 0
inline constexpr std::size_t kStartAddressField = 1;  // u16 big-endian: where the data start
inline constexpr std::size_t kHeaderSize = 128;
inline constexpr std::uint8_t kHeaderFill = 0xFF;  // bytes 3..127 carry nothing
inline constexpr std::uint32_t kStart = 0x0880;
inline constexpr std::uint32_t kEnd = 0xFA00;
inline constexpr std::size_t kFileSize = kHeaderSize + (kEnd - kStart);  // 61952
}  // namespace bin_export_layout

inline constexpr const char* kErrorCreatingFile = "Error creating file.";
inline constexpr const char* kExportDone = "Done.";
inline constexpr const char* kExportSavedTo = "The tracker's memory is in ";  // then the file's path

// Reads the connected tracker's memory into a buffer of its own (the flash
// image is left alone) and writes the .bin file. 0 after "Done." (and the
// file's path on a second line); -1 after
// "Error creating file." or the link's read message, in which case no
// partial file is left behind.
int exportDeviceToBin(BootLink& link, const std::string& path);

}  // namespace varnel
