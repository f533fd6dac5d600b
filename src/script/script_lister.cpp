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
        if (b[offset] == script_op::kEndOfProgram) break;
        const std::size_t size = storedStatementSize(b.data() + offset, b.size() - offset);
        if (size == 0) break;

        ScriptStatement s;
        s.bytes.assign(b.begin() + offset, b.begin() + offset + size);
        s.text = statementLineText(s.bytes.data(), s.bytes.size());
        lines.push_back(std::move(s));
        offset += size;
    }
    return lines;
}

}  // namespace varnel
