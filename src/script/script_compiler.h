#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "config/device_target.h"

namespace varnel {

class UserInterface;

using ScriptBuffer = std::array<std::uint8_t, kScriptAreaSize>;

// Joins the statements into the 512-byte buffer, erased to 0xFF, and ends the
// program with 0xFF. Returns the size including that terminator, or 0 after
// "Out of script storage space!" when the statements leave no room for it (the
// buffer then holds the statements that fitted).
int compileScript(const std::vector<std::vector<std::uint8_t>>& statements, ScriptBuffer& buffer, UserInterface& ui);

inline constexpr const char* kOutOfScriptSpaceMessage = "Out of script storage space!";

}  // namespace varnel
