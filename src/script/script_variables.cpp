#include "script/script_variables.h"

namespace varnel {

namespace {
constexpr std::string_view kPlaceholderPrefix = "Var ";
}

std::string scriptVariableName(std::uint8_t index) {
    if (index < kScriptVariables.size()) return std::string(kScriptVariables[index]);
    return std::string(kPlaceholderPrefix) + std::to_string(index);
}

int scriptVariableIndex(std::string_view name) {
    for (std::size_t i = 0; i < kScriptVariables.size(); ++i)
        if (kScriptVariables[i] == name) return static_cast<int>(i);
    if (name.substr(0, kPlaceholderPrefix.size()) != kPlaceholderPrefix) return -1;
    std::string_view digits = name.substr(kPlaceholderPrefix.size());
    if (digits.empty() || digits.size() > 3) return -1;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    // Only the indexes that have no name of their own are shown this way.
    if (value < static_cast<int>(kScriptVariables.size()) || value > 255) return -1;
    return value;
}

}  // namespace varnel
