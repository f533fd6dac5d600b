#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// Typed text -> stored bytes, resolving backslash escapes: \a \b \t \n \r,
// \xHH, and a backslash before any other character stands for that character
// (so \\ is one backslash and \" a double quote). The result ends with 0x00.
//
// Half-typed escapes keep what the user typed rather than guess: a backslash
// at the very end is stored as a backslash, "\x" with one hexadecimal digit
// takes that one digit ("\x7" is 0x07), and "\x" with none is a plain 'x'.
std::vector<std::uint8_t> unescapeText(std::string_view text);

// Stored bytes -> shown text: printable ASCII as itself, the five control
// characters above as their letters, everything else as \xhh. A backslash byte
// is shown doubled, so that the shown text typed back in gives the same bytes.
std::string escapeText(const std::uint8_t* bytes, std::size_t count);

// 0-15 for a hexadecimal digit of either case, else -1.
int hexDigitValue(char c);

}  // namespace varnel
