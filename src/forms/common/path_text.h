#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// The digipeater path as the configuration dialogs take it from their edit:
// the first 29 characters with every space removed, encoded as up to three
// address fields (21 bytes). nullptr with the bytes, or the message that
// refuses it ("Invalid path setting", "Path too long"); `bytes` is then
// left alone.
const char* encodeDialogPath(const std::string& text, std::vector<std::uint8_t>& bytes);

}  // namespace varnel
