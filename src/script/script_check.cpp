#include "script/script_check.h"

#include <algorithm>

#include "script/script_opcodes.h"
#include "script/script_statement.h"

namespace varnel {

namespace {

// The events the firmware calls into; everything else only runs inside one.
bool isEvent(std::uint8_t op) { return op >= script_op::kOnStartup && op <= script_op::kDoOnce; }

bool isTextStatement(std::uint8_t op) {
    const StatementInfo* info = findStatement(op);
    return info != nullptr && info->layout == OperandLayout::Text;
}

// A text of no characters, a flag statement that names no flag, an If Flags
// that cares about none: each stores, but does nothing or always holds.
bool operandEmpty(const std::vector<std::uint8_t>& s) {
    const std::uint8_t op = s.front();
    if (isTextStatement(op)) return s.size() < 2 || s[1] <= 1;
    if (op == script_op::kSetFlags || op == script_op::kClearFlags || op == script_op::kToggleFlags)
        return s.size() < 2 || s[1] == 0;
    if (op == script_op::kIfFlags) return s.size() < 2 || s[1] == 0;
    return false;
}

std::string finding(std::size_t index, const std::vector<std::uint8_t>& s, const char* what) {
    return "line " + std::to_string(index + 1) + ": " + statementLineText(s.data(), s.size()) + " - " + what;
}

}  // namespace

std::vector<std::string> scriptCheckFindings(const std::vector<std::vector<std::uint8_t>>& statements,
                                             const std::vector<bool>& operandsLeftEmpty) {
    std::vector<std::string> out;
    std::vector<std::size_t> open;  // statement indexes of the blocks not yet ended
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const auto& s = statements[i];
        if (s.empty()) continue;
        const std::uint8_t op = s.front();
        if (open.empty() && !isEvent(op)) out.push_back(finding(i, s, kOutsideEventFinding));
        if (operandEmpty(s) || (i < operandsLeftEmpty.size() && operandsLeftEmpty[i]))
            out.push_back(finding(i, s, kEmptyOperandFinding));
        if (op == script_op::kEndBlock && !open.empty()) open.pop_back();
        else if (opensBlock(op)) open.push_back(i);
    }
    for (std::size_t i : open) out.push_back(finding(i, statements[i], kNoEndBlockFinding));
    return out;
}

std::string scriptCheckQuestion(const std::vector<std::string>& findings) {
    std::string text = kScriptCheckHeading;
    text += '\n';
    const std::size_t shown = std::min(findings.size(), kScriptCheckShownFindings);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + findings[i];
    if (findings.size() > shown) text += "\n... and " + std::to_string(findings.size() - shown) + " more";
    text += "\n\n";
    text += kScriptCheckQuestionText;
    return text;
}

}  // namespace varnel
