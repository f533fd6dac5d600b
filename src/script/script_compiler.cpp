#include "script/script_compiler.h"

#include <algorithm>

#include "core/user_interface.h"
#include "script/script_opcodes.h"

namespace varnel {

int compileScript(const std::vector<std::vector<std::uint8_t>>& statements, ScriptBuffer& buffer, UserInterface& ui) {
    buffer.fill(script_op::kEndOfProgram);
    std::size_t position = 0;
    for (const auto& statement : statements) {
        // The terminator needs the last byte, so the statements may use 511.
        if (position + statement.size() >= buffer.size()) {
            ui.message(kOutOfScriptSpaceMessage);
            return 0;
        }
        std::copy(statement.begin(), statement.end(), buffer.begin() + position);
        position += statement.size();
    }
    buffer[position] = script_op::kEndOfProgram;
    return static_cast<int>(position + 1);
}

}  // namespace varnel
