#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/flash_image.h"

namespace varnel {

inline constexpr const char* kErrorReadingFirmware = "Error reading firmware file";
inline constexpr const char* kAddressOutOfRange = "Address out of range in firmware file";

// Firmware files and downloads are read in lines of at most this many
// characters (a longer line goes on as the next one).
inline constexpr std::size_t kSRecordLineMax = 511;

// What differs between reading a firmware file and a download from the
// firmware mirror.
struct SRecordRules {
    // A data record starting at or above this address is refused.
    std::uint32_t addressLimit = 0x40000;
    // S3 records starting above this address are passed over without a word
    // (old JM128 builds carry data there that the chip does not take).
    std::optional<std::uint32_t> skipS3Above = 0x20000;

    static SRecordRules file() { return {}; }
    // The mirror only serves 64 KiB parts, so anything above is a wrong file.
    static SRecordRules network() { return {0x10000, std::nullopt}; }
};

struct SRecordLineResult {
    enum Kind { Continue, End, Error };
    Kind kind = Continue;
    std::string message;  // the text to show, for Error

    static SRecordLineResult ok() { return {}; }
    static SRecordLineResult end() { return {End, {}}; }
    static SRecordLineResult error(std::string text) { return {Error, std::move(text)}; }
};

// Reads Motorola S-records one line at a time into a FlashImage, marking every
// stored byte as loaded. The caller resets the image, feeds lines until End or
// Error, and shows the message of an Error. Data bytes are stored as they are
// read, so a record with a bad checksum has already left its bytes behind.
class SRecordParser {
public:
    explicit SRecordParser(FlashImage& image, SRecordRules rules = SRecordRules::file())
        : image_(image), rules_(rules) {}

    // `line` may still carry its line end.
    SRecordLineResult feedLine(std::string_view line);

private:
    FlashImage& image_;
    SRecordRules rules_;
};

}  // namespace varnel
