#include "firmware/srecord_parser.h"

#include <algorithm>
#include <cstdint>

namespace varnel {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a hex number of at most `width` characters the way the C library's
// "%<width>x" does: leading blanks skipped, an optional sign and "0x" counted
// in the width, a minus sign wrapping the value around. `pos` moves past what
// was read. False when no digit was found.
bool scanHex(std::string_view text, std::size_t& pos, int width, std::uint32_t& value) {
    std::size_t p = pos;
    while (p < text.size() && isBlank(text[p])) ++p;
    bool negative = false;
    if (p < text.size() && width > 0 && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
        --width;
    }
    if (width >= 3 && p + 2 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
        hexValue(text[p + 2]) >= 0) {
        p += 2;
        width -= 2;
    }
    std::uint32_t v = 0;
    int digits = 0;
    while (digits < width && p < text.size() && hexValue(text[p]) >= 0) {
        v = (v << 4) | static_cast<std::uint32_t>(hexValue(text[p]));
        ++p;
        ++digits;
    }
    if (digits == 0) return false;
    value = negative ? 0u - v : v;
    pos = p;
    return true;
}

}  // namespace

SRecordLineResult SRecordParser::feedLine(std::string_view line) {
    if (line.size() < 2 || line[0] != 'S') return SRecordLineResult::ok();

    int addressDigits = 0;
    switch (line[1]) {
    case '1': addressDigits = 4; break;
    case '2': addressDigits = 6; break;
    case '3': addressDigits = 8; break;
    case '7':
    case '8':
    case '9': return SRecordLineResult::end();
    default: return SRecordLineResult::ok();  // headers, counts, anything unknown
    }

    std::uint32_t count = 0;
    std::uint32_t address = 0;
    std::size_t pos = 2;
    if (!scanHex(line, pos, 2, count) || !scanHex(line, pos, addressDigits, address) || count >= 256)
        return SRecordLineResult::error(kErrorReadingFirmware);

    if (line[1] == '3' && rules_.skipS3Above && address > *rules_.skipS3Above) return SRecordLineResult::ok();
    if (address >= rules_.addressLimit) return SRecordLineResult::error(kAddressOutOfRange);

    const int addressBytes = addressDigits / 2;
    const int dataCount = static_cast<int>(count) - (addressBytes + 1);
    if (dataCount < 0) return SRecordLineResult::error(kErrorReadingFirmware);
    // Only the start address is limited above; a record that would run past
    // the end of flash has no place in the image either.
    if (static_cast<std::uint64_t>(address) + static_cast<std::uint64_t>(dataCount) > kFlashSize)
        return SRecordLineResult::error(kAddressOutOfRange);

    // The digits are taken at fixed places after the address, whatever the
    // count and address scan made of blanks or signs; a short line simply
    // runs out of digits.
    pos = std::min<std::size_t>(2 + 2 + static_cast<std::size_t>(addressDigits), line.size());

    std::uint32_t sum =
        count + (address & 0xFF) + ((address >> 8) & 0xFF) + ((address >> 16) & 0xFF) + ((address >> 24) & 0xFF);
    for (int i = 0; i < dataCount; ++i) {
        std::size_t p = pos;
        std::uint32_t byte = 0;
        if (!scanHex(line, p, 2, byte) || byte >= 256) return SRecordLineResult::error(kErrorReadingFirmware);
        const std::uint32_t at = address + static_cast<std::uint32_t>(i);
        image_.bytes[at] = static_cast<std::uint8_t>(byte);
        image_.touched[at] = kTouchedData;
        sum += byte;
        pos = std::min(pos + 2, line.size());
    }

    std::uint32_t checksum = 0;
    if (!scanHex(line, pos, 2, checksum) || checksum >= 256 || ((sum + checksum) & 0xFF) != 0xFF)
        return SRecordLineResult::error(kErrorReadingFirmware);
    return SRecordLineResult::ok();
}

}  // namespace varnel
