#pragma once

#include <string>
#include <string_view>

#include "device/flash_image.h"
#include "firmware/srecord_parser.h"

namespace varnel {

class UserInterface;

inline constexpr const char* kNoFirmwareRecords = "The file holds no firmware records.";
// The loaders' result for a text without a single data record, after that
// message: callers add no "Error loading firmware file" of their own.
inline constexpr int kNoRecordsLoaded = -2;

// Fills the image from a Motorola S-record file ("" reads standard input).
// 0 on success; -1 after telling the user (an unopenable file goes to stderr
// as "Can't open input file %s\n"), or kNoRecordsLoaded. The image keeps what
// was stored before a failure; callers add their own "Error loading firmware
// file" to -1.
int loadSRecordFile(const std::string& path, FlashImage& image, UserInterface& ui);

// The same for a file's text already in memory: read in lines of at most
// kSRecordLineMax characters as the file reader does, so a text and the file
// holding it load alike.
int loadSRecordText(std::string_view text, FlashImage& image, UserInterface& ui);

// Resets the image and reads the text with the given rules (a file's or a
// download's). 0, or -1 after the parser's message, or kNoRecordsLoaded
// (after kNoFirmwareRecords) when no record put a byte into the image.
int readSRecordText(std::string_view text, SRecordRules rules, FlashImage& image, UserInterface& ui);

}  // namespace varnel
