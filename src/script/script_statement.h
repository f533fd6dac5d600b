#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_opcodes.h"

namespace varnel {

// One statement of the program: its bytes (opcode first) and the line the
// editor shows for it, without indentation.
struct ScriptStatement {
    std::vector<std::uint8_t> bytes;
    std::string text;
};

// The line for a complete statement as stored, the way the lister shows it.
// `bytes` must hold the whole statement (the caller has checked the size).
std::string statementLineText(const std::uint8_t* bytes, std::size_t size);

// Flag-set texts: eight characters, flag 1 first.
std::string flagSetText(std::uint8_t flags);
std::string careValueText(std::uint8_t care, std::uint8_t value);

// Builders: the bytes of each statement form with the line the lister would
// show for them.
ScriptStatement plainStatement(std::uint8_t opcode);
ScriptStatement variableStatement(std::uint8_t opcode, std::uint8_t a);
ScriptStatement flagSetStatement(std::uint8_t opcode, std::uint8_t flags);
ScriptStatement twoVariableStatement(std::uint8_t opcode, std::uint8_t a, std::uint8_t b);
ScriptStatement variableConstantStatement(std::uint8_t opcode, std::uint8_t a, std::uint16_t c);
ScriptStatement pokeStatement(std::uint16_t c, std::uint8_t x, std::uint8_t y);
ScriptStatement peekStatement(std::uint16_t c, std::uint8_t x, std::uint8_t y);
ScriptStatement ifFlagsStatement(std::uint8_t care, std::uint8_t value);
ScriptStatement areaStatement(double nwLatitude, double nwLongitude, double seLatitude, double seLongitude);

// A text statement from the bytes to store (without the closing 0x00) and
// the text to show between the line's quotes. Empty when the text is too long
// for the one-byte length.
std::optional<ScriptStatement> textStatement(std::uint8_t opcode, const std::vector<std::uint8_t>& stored,
                                             std::string_view shown);

inline constexpr const char* kTextTooLongMessage = "Text too long: at most 254 characters can be stored";

}  // namespace varnel
