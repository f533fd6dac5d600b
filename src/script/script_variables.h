#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

// The firmware's script variables, by index. The editor's A and B lists hold
// them in this order, so a list position is the stored index.
inline constexpr std::array<std::string_view, 10> kScriptVariables{
    "Counter 1", "Counter 2",   "Counter 3", "Ticks",    "TX Counter",
    "Second",    "Pulse Count", "Last Digi", "Last Fix", "Altitude",
};

// The name shown for a stored index. Indexes the firmware does not define
// (only a foreign or damaged program holds them) are shown as "Var N" so the
// byte survives a list and compile round trip.
std::string scriptVariableName(std::uint8_t index);

// The index for a shown name, "Var N" included; -1 when the text names none.
int scriptVariableIndex(std::string_view name);

}  // namespace varnel
