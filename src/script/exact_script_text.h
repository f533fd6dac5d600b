#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// The command line's script text: `varnelcfg-cli script list` prints it and
// `script compile` reads it, and every line must read back to exactly the
// bytes it was listed from, whatever a tracker or file holds. Most statements
// are shown as the editor shows them; a corner of "If In Area" gets the
// decimals it needs beyond the editor's five. A stored statement the editor's
// line cannot carry (an If Flags value bit outside its care mask, a text with
// no closing 0x00, an area test with extra bytes, ...) gets one of our own
// forms. The code listing window and its saved file never use them.

// An Exec or Macro text holding bytes a line cannot show (line feeds, other
// control bytes, bytes above 0x7E), with the backslash escapes of PrintA.
inline constexpr const char* kEscapedExecFormat = "Escaped Exec \"%s\"";
inline constexpr const char* kEscapedMacroFormat = "Escaped Macro \"%s\"";

// Any whole statement as its bytes in hexadecimal: "Bytes ab 23 80".
inline constexpr const char* kBytesPrefix = "Bytes ";

inline constexpr const char* kBadBytesLineMessage = "Bytes: expected the hexadecimal bytes of one whole statement";

// The line for one stored statement (`bytes` as the lister cut it out of the
// script area) that reads back to exactly these bytes. It holds printable
// ASCII only, so it survives any terminal, file or editor.
std::string exactStatementLine(const std::vector<std::uint8_t>& bytes);

}  // namespace varnel
