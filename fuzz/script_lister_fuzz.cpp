// Whatever a tracker's 512-byte script area holds, listed as the editor
// shows it and as patch lines. Every listed line must read back to a
// statement that lists as the same line (the bytes may differ where the
// area holds what the editor never writes, such as a text without its NUL).
// "If In Area" corners are rounded to the listing's decimals, so a corner a
// hair below zero shows as -0.00000 and reads back as 0: those lines are only
// read back, not compared. The command line's own text must read back to
// exactly the stored bytes, every statement.
#include "fuzz_input.h"
#include "script/code_listing_reader.h"
#include "script/exact_script_text.h"
#include "script/script_lister.h"
#include "script/script_listings.h"
#include "script/script_opcodes.h"
#include "script/script_statement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::Input in(data, size);
    varnel::ScriptArea area;
    area.bytes.fill(0xFF);
    in.fill(area.bytes);
    const auto statements = varnel::listScript(area);
    std::vector<std::string> lines;
    std::vector<std::vector<std::uint8_t>> bytes;
    for (const auto& s : statements) {
        varnel::ScriptStatement back;
        std::string reason;
        if (!varnel::readCodeLine(s.text, back, reason)) __builtin_trap();
        if (s.bytes.front() != varnel::script_op::kIfInArea &&
            varnel::statementLineText(back.bytes.data(), back.bytes.size()) != s.text)
            __builtin_trap();
        varnel::ScriptStatement exact;
        if (!varnel::readCodeLine(varnel::exactStatementLine(s.bytes), exact, reason) || exact.bytes != s.bytes)
            __builtin_trap();
        lines.push_back(s.text);
        bytes.push_back(s.bytes);
    }
    varnel::codeListing(lines);
    varnel::fuzz::SilentUi ui;
    varnel::patchListing(bytes, 0xF600, ui);
    return 0;
}
