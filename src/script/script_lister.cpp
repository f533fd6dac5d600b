#include "script/script_lister.h"

#include <algorithm>

#include "script/script_opcodes.h"

namespace varnel {

std::vector<ScriptStatement> listScript(const ScriptArea& area) {
    std::vector<ScriptStatement> lines;
    const auto& b = area.bytes;
    if (std::all_of(b.begin(), b.end(), [](std::uint8_t v) { return v == 0; })) return lines;

    std::size_t offset = 0;
    while (offset < b.size()) {
        const std::uint8_t opcode = b[offset];
        if (opcode == script_op::kEndOfProgram) break;
        const StatementInfo* info = findStatement(opcode);
        if (!info) break;

        std::size_t size = info->size;
        if (size == 0) {
            if (offset + 1 >= b.size()) break;  // the length byte itself is missing
            size = std::size_t{b[offset + 1]} + 2;
        }
        if (offset + size > b.size()) break;
        // An area test is only meaningful with its four corners present.
        if (info->layout == OperandLayout::Area && size < kAreaStatementSize) break;

        ScriptStatement s;
        s.bytes.assign(b.begin() + offset, b.begin() + offset + size);
        s.text = statementLineText(s.bytes.data(), s.bytes.size());
        lines.push_back(std::move(s));
        offset += size;
    }
    return lines;
}

}  // namespace varnel
