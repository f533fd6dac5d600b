#include "script/exact_script_text.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "script/area_angle.h"
#include "script/code_listing_reader.h"
#include "script/script_opcodes.h"
#include "script/script_statement.h"
#include "script/text_escape.h"

namespace varnel {

namespace {

bool printable(std::string_view s) {
    for (char c : s)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

bool readsBackTo(const std::string& line, const std::vector<std::uint8_t>& bytes) {
    if (!printable(line)) return false;
    ScriptStatement back;
    std::string reason;
    return readCodeLine(line, back, reason) && back.bytes == bytes;
}

std::string decimals(double value, int places) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    return buffer;
}

// A corner with the editor's five decimals when they come back to the stored
// angle, else with as few more as do. The firmware's angle is the degrees
// truncated toward zero, so a decimal that rounds to just under the exact
// quotient in size reads back one unit short; the middle of the unit has
// room on both sides and comes back once the decimals resolve the unit.
std::string cornerText(std::int32_t angle) {
    const double exact = decodeAngle(angle);
    const double middle = exact + (angle > 0 ? 0.5 : angle < 0 ? -0.5 : 0.0) / kAngleUnitsPerDegree;
    for (int places = 5; places <= 17; ++places) {
        for (double value : {exact, middle}) {
            std::string text = decimals(value, places);
            if (encodeAngle(std::strtod(text.c_str(), nullptr)) == angle) return text;
        }
    }
    return decimals(exact, 5);  // not reached for any 32-bit angle; the line check still guards it
}

std::string preciseAreaLine(const std::vector<std::uint8_t>& b) {
    return "If In Area (" + cornerText(getI32BE(&b[2])) + "," + cornerText(getI32BE(&b[6])) + ")(" +
           cornerText(getI32BE(&b[10])) + "," + cornerText(getI32BE(&b[14])) + ")";
}

std::string escapedTextLine(const std::vector<std::uint8_t>& b, const char* format) {
    // Opcode, length byte, text, closing 0x00.
    const std::string_view f(format);
    const std::size_t at = f.find("%s");
    return std::string(f.substr(0, at)) + escapeText(b.data() + 2, b.size() - 3) + std::string(f.substr(at + 2));
}

std::string bytesLine(const std::vector<std::uint8_t>& b) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line = kBytesPrefix;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i > 0) line += ' ';
        line += kHex[b[i] >> 4];
        line += kHex[b[i] & 0x0F];
    }
    return line;
}

}  // namespace

std::string exactStatementLine(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return bytesLine(bytes);
    std::string line = statementLineText(bytes.data(), bytes.size());
    if (readsBackTo(line, bytes)) return line;

    namespace op = script_op;
    if (bytes[0] == op::kIfInArea && bytes.size() == kAreaStatementSize) {
        line = preciseAreaLine(bytes);
        if (readsBackTo(line, bytes)) return line;
    }
    if ((bytes[0] == op::kExec || bytes[0] == op::kMacro) && bytes.size() >= 3) {
        line = escapedTextLine(bytes, bytes[0] == op::kExec ? kEscapedExecFormat : kEscapedMacroFormat);
        if (readsBackTo(line, bytes)) return line;
    }
    return bytesLine(bytes);
}

}  // namespace varnel
