#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

class HttpClient;
class UserInterface;

// One release offered by the firmware server: the file's request path on the
// mirror server, and two texts shown to the user.
struct FirmwareRelease {
    std::string file;
    std::string description;
    std::string date;
};

namespace firmware_list_limits {
inline constexpr std::size_t kMaxRows = 200;
inline constexpr std::size_t kMaxFile = 79;
inline constexpr std::size_t kMaxDescription = 159;
inline constexpr std::size_t kMaxDate = 15;
// A list is a few kilobytes; anything past this is not a list we can show.
inline constexpr std::size_t kMaxBody = 64 * 1024;
}  // namespace firmware_list_limits

// "/support/firmware/AP64/list.txt"; the KX8 list predates the per-chip
// folders and sits at "/support/firmware.txt".
std::string firmwareListPath(const std::string& chipName);

// Splits a list body into rows: file TAB description TAB date, one per line.
// Line ends (LF or CR LF) are skipped before every field, so both kinds of
// server give clean request paths. At most kMaxRows rows; longer fields are cut.
std::vector<FirmwareRelease> parseFirmwareList(std::string_view body);

// Fetches and splits the list for the chip. 0, or -1 after
// "Error retrieving firmware list" (rows left empty).
int fetchFirmwareList(HttpClient& http, const std::string& server, const std::string& chipName,
                      std::vector<FirmwareRelease>& rows, UserInterface& ui);

}  // namespace varnel
