#pragma once

#include <vector>

#include "config/settings_record.h"
#include "script/script_statement.h"

namespace varnel {

// Reads the stored program back into statements with their lines, in order.
// An area of all zero bytes is an empty program. The listing stops at the
// terminator, at an opcode the firmware does not know, or at a statement
// whose bytes would run past the end of the area.
std::vector<ScriptStatement> listScript(const ScriptArea& area);

}  // namespace varnel
