#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/script_statement.h"

namespace varnel {

// Turns the lines of a code listing back into statements: each line is one
// statement as the editor shows it; indentation and blank lines are ignored.
// Every line the lister produces reads back to the bytes it was listed from
// ("If In Area" corners to the listing's five decimals); the command line's
// own forms (exact_script_text.h) read back to their bytes exactly.
struct CodeListingResult {
    std::vector<ScriptStatement> statements;
    int errorLine = 0;      // 1-based; 0 when every line was read
    std::string errorText;  // why that line could not be read
};

CodeListingResult readCodeListing(std::string_view text);

// One line, without its line end. False with `reason` set when it names no statement.
bool readCodeLine(std::string_view line, ScriptStatement& out, std::string& reason);

}  // namespace varnel
