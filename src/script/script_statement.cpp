#include "script/script_statement.h"

#include <cstdarg>
#include <cstdio>

#include "core/bytes.h"
#include "script/area_angle.h"
#include "script/script_variables.h"
#include "script/text_escape.h"

namespace varnel {

namespace {

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    va_end(args);
    return out;
}

const StatementInfo& infoOf(std::uint8_t opcode) { return *findStatement(opcode); }

// Text lines are put together by substitution rather than printf so that any
// byte, NUL included, can stand in the text.
std::string substituteText(const char* fmt, std::string_view text) {
    std::string f(fmt);
    auto at = f.find("%s");
    return f.substr(0, at) + std::string(text) + f.substr(at + 2);
}

std::string variable(std::uint8_t index) { return scriptVariableName(index); }

// A corner within half the last shown decimal of 0 (a southern or western 0,
// or an angle of a few units below 0) would print as "-0.00000"; it is shown
// as the 0 it reads as.
double shownCorner(double degrees) {
    constexpr double kHalfLastDecimal = 0.000005;
    return degrees > -kHalfLastDecimal && degrees <= 0.0 ? 0.0 : degrees;
}

std::string areaLineText(double nwLatitude, double nwLongitude, double seLatitude, double seLongitude) {
    return format(infoOf(script_op::kIfInArea).format, shownCorner(nwLatitude), shownCorner(nwLongitude),
                  shownCorner(seLatitude), shownCorner(seLongitude));
}

}  // namespace

std::string flagSetText(std::uint8_t flags) {
    std::string s;
    for (int bit = 0; bit < 8; ++bit) s += (flags >> bit) & 1 ? '1' : '0';
    return s;
}

std::string careValueText(std::uint8_t care, std::uint8_t value) {
    std::string s;
    for (int bit = 0; bit < 8; ++bit) {
        if (!((care >> bit) & 1)) s += 'x';
        else s += (value >> bit) & 1 ? '1' : '0';
    }
    return s;
}

std::string statementLineText(const std::uint8_t* b, std::size_t size) {
    const StatementInfo* info = findStatement(b[0]);
    if (!info) return {};
    switch (info->layout) {
    case OperandLayout::None: return info->format;
    case OperandLayout::Variable: return format(info->format, variable(b[1]).c_str());
    case OperandLayout::FlagSet: return format(info->format, flagSetText(b[1]).c_str());
    case OperandLayout::TwoVariables: return format(info->format, variable(b[1]).c_str(), variable(b[2]).c_str());
    case OperandLayout::VariableConstant: return format(info->format, variable(b[1]).c_str(), int{getU16BE(b + 2)});
    case OperandLayout::PokeOperands:  // stored C, Y, X; shown C, X, Y
        return format(info->format, int{getU16BE(b + 1)}, int{b[4]}, int{b[3]});
    case OperandLayout::PeekOperands: return format(info->format, int{getU16BE(b + 1)}, int{b[3]}, int{b[4]});
    case OperandLayout::CareValue: return format(info->format, careValueText(b[1], b[2]).c_str());
    case OperandLayout::Text: {
        // n counts the text and its closing 0x00; a length byte of 0 holds no text.
        std::size_t n = b[1];
        std::size_t textLength = n > 0 ? n - 1 : 0;
        if (textLength + 2 > size) textLength = size > 2 ? size - 2 : 0;
        const std::uint8_t* text = b + 2;
        if (info->textForm == TextForm::Escaped) return substituteText(info->format, escapeText(text, textLength));
        std::string raw(reinterpret_cast<const char*>(text), textLength);
        return substituteText(info->format, raw);
    }
    case OperandLayout::Area:
        if (size < kAreaStatementSize) return {};
        return areaLineText(decodeAngle(getI32BE(b + 2)), decodeAngle(getI32BE(b + 6)), decodeAngle(getI32BE(b + 10)),
                            decodeAngle(getI32BE(b + 14)));
    }
    return {};
}

ScriptStatement plainStatement(std::uint8_t opcode) { return {{opcode}, infoOf(opcode).format}; }

ScriptStatement variableStatement(std::uint8_t opcode, std::uint8_t a) {
    ScriptStatement s{{opcode, a}, {}};
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement flagSetStatement(std::uint8_t opcode, std::uint8_t flags) {
    ScriptStatement s{{opcode, flags}, {}};
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement twoVariableStatement(std::uint8_t opcode, std::uint8_t a, std::uint8_t b) {
    ScriptStatement s{{opcode, a, b}, {}};
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement variableConstantStatement(std::uint8_t opcode, std::uint8_t a, std::uint16_t c) {
    ScriptStatement s{{opcode, a, 0, 0}, {}};
    putU16BE(&s.bytes[2], c);
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement pokeStatement(std::uint16_t c, std::uint8_t x, std::uint8_t y) {
    ScriptStatement s{{script_op::kPoke, 0, 0, y, x}, {}};
    putU16BE(&s.bytes[1], c);
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement peekStatement(std::uint16_t c, std::uint8_t x, std::uint8_t y) {
    ScriptStatement s{{script_op::kIfPeek, 0, 0, x, y}, {}};
    putU16BE(&s.bytes[1], c);
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement ifFlagsStatement(std::uint8_t care, std::uint8_t value) {
    ScriptStatement s{{script_op::kIfFlags, care, value}, {}};
    s.text = statementLineText(s.bytes.data(), s.bytes.size());
    return s;
}

ScriptStatement areaStatement(double nwLatitude, double nwLongitude, double seLatitude, double seLongitude) {
    ScriptStatement s{std::vector<std::uint8_t>(kAreaStatementSize, 0), {}};
    s.bytes[0] = script_op::kIfInArea;
    s.bytes[1] = kAreaOperandLength;
    putI32BE(&s.bytes[2], encodeAngle(nwLatitude));
    putI32BE(&s.bytes[6], encodeAngle(nwLongitude));
    putI32BE(&s.bytes[10], encodeAngle(seLatitude));
    putI32BE(&s.bytes[14], encodeAngle(seLongitude));
    // The line shows the degrees as entered, like the lister shows them.
    s.text = areaLineText(nwLatitude, nwLongitude, seLatitude, seLongitude);
    return s;
}

std::optional<ScriptStatement> textStatement(std::uint8_t opcode, const std::vector<std::uint8_t>& stored,
                                             std::string_view shown) {
    if (stored.size() > kMaxStoredTextLength) return std::nullopt;
    ScriptStatement s;
    s.bytes.reserve(stored.size() + 3);
    s.bytes.push_back(opcode);
    s.bytes.push_back(static_cast<std::uint8_t>(stored.size() + 1));
    s.bytes.insert(s.bytes.end(), stored.begin(), stored.end());
    s.bytes.push_back(0x00);
    s.text = substituteText(infoOf(opcode).format, shown);
    return s;
}

}  // namespace varnel
