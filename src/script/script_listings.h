#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

class UserInterface;

// The editor's lines as text, each as shown (indentation included) and
// ended by "\r\n". No lines give an empty text.
std::string codeListing(const std::vector<std::string>& lines);

// The compiled program as memory patches for the script area at
// `scriptAddress`: "PATCH %04x%02x" then the data bytes, 32 bytes a line,
// "\r\n" line ends; the last line carries the 0xFF terminator. Empty after
// "Out of script storage space!" when the program does not fit.
std::string patchListing(const std::vector<std::vector<std::uint8_t>>& statements, std::uint32_t scriptAddress,
                         UserInterface& ui);

// Writes a listing to a text file byte for byte, its "\r\n" line ends
// included. 0, or -1 after kListingWriteError (no partial file is left).
int saveListingFile(const std::string& path, std::string_view text, UserInterface& ui);

// The windows' titles: what each shows, so two open side by side are told apart.
inline constexpr const char* kCodeListingTitle = "Code listing";
inline constexpr const char* kPatchListingTitle = "Patch listing";

inline constexpr std::size_t kPatchBytesPerLine = 32;
inline constexpr const char* kListingWriteError = "Error writing listing file";

}  // namespace varnel
