#include "script/code_listing_reader.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "script/exact_script_text.h"
#include "script/script_variables.h"
#include "script/text_escape.h"

namespace varnel {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Takes a decimal number of at most `maxValue` from the front of s.
bool takeNumber(std::string_view& s, long maxValue, long& out) {
    std::size_t i = 0;
    long value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + (s[i] - '0');
        if (value > maxValue) return false;
        ++i;
    }
    if (i == 0) return false;
    out = value;
    s.remove_prefix(i);
    return true;
}

bool takeLiteral(std::string_view& s, std::string_view literal) {
    if (!startsWith(s, literal)) return false;
    s.remove_prefix(literal.size());
    return true;
}

// Takes a variable name (or the "Var N" placeholder) from the front of s.
bool takeVariable(std::string_view& s, std::uint8_t& index) {
    for (std::size_t i = 0; i < kScriptVariables.size(); ++i) {
        if (startsWith(s, kScriptVariables[i])) {
            index = static_cast<std::uint8_t>(i);
            s.remove_prefix(kScriptVariables[i].size());
            return true;
        }
    }
    if (!startsWith(s, "Var ")) return false;
    std::size_t end = 4;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
    const int found = scriptVariableIndex(s.substr(0, end));
    if (found < 0) return false;
    index = static_cast<std::uint8_t>(found);
    s.remove_prefix(end);
    return true;
}

bool takeAngle(std::string_view& s, double& out) {
    std::size_t end = 0;
    while (end < s.size() && (s[end] == '-' || s[end] == '.' || (s[end] >= '0' && s[end] <= '9'))) ++end;
    if (end == 0) return false;
    std::string number(s.substr(0, end));
    char* stop = nullptr;
    out = std::strtod(number.c_str(), &stop);
    if (stop != number.c_str() + number.size()) return false;
    // The lister shows at most 180 degrees (five decimals) either way.
    if (!(std::fabs(out) <= 180.00001)) return false;
    s.remove_prefix(end);
    return true;
}

bool readFlags(std::string_view s, bool allowDontCare, std::uint8_t& care, std::uint8_t& value) {
    if (s.size() != 8) return false;
    care = 0;
    value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const char c = s[static_cast<std::size_t>(bit)];
        if (c == '1') value = static_cast<std::uint8_t>(value | (1u << bit));
        else if (c == 'x' && allowDontCare) continue;
        else if (c != '0') return false;
        care = static_cast<std::uint8_t>(care | (1u << bit));
    }
    return true;
}

bool readText(std::string_view line, const StatementInfo& info, ScriptStatement& out, std::string& reason,
              bool& matched) {
    const std::string_view format = info.format;
    const std::size_t at = format.find("%s");
    const std::string_view prefix = format.substr(0, at);
    const std::string_view suffix = format.substr(at + 2);
    matched = false;
    if (!startsWith(line, prefix) || line.size() < prefix.size() + suffix.size() || !endsWith(line, suffix))
        return false;
    matched = true;
    const std::string_view body = line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    std::vector<std::uint8_t> stored;
    if (info.textForm == TextForm::Escaped) {
        stored = unescapeText(body);
        stored.pop_back();
    } else {
        // Exec and macro names are kept exactly as listed.
        stored.assign(body.begin(), body.end());
    }
    auto statement = textStatement(info.opcode, stored, body);
    if (!statement) {
        reason = kTextTooLongMessage;
        return false;
    }
    out = std::move(*statement);
    return true;
}

// "ab 23 80": two hexadecimal digits a byte, spaces between; together they
// must be one whole statement, so the program stays listable.
bool readBytes(std::string_view s, ScriptStatement& out) {
    std::vector<std::uint8_t> bytes;
    for (;;) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        if (s.empty()) break;
        const bool pair = s.size() >= 2 && hexDigitValue(s[0]) >= 0 && hexDigitValue(s[1]) >= 0;
        if (!pair || (s.size() > 2 && s[2] != ' ')) return false;
        bytes.push_back(static_cast<std::uint8_t>(hexDigitValue(s[0]) * 16 + hexDigitValue(s[1])));
        s.remove_prefix(2);
    }
    if (bytes.empty() || storedStatementSize(bytes.data(), bytes.size()) != bytes.size()) return false;
    out.text = statementLineText(bytes.data(), bytes.size());
    out.bytes = std::move(bytes);
    return true;
}

// "A = B", "A < 12", ...: the rest of a Set or If line.
bool readComparison(std::string_view rest, bool setOnly, ScriptStatement& out) {
    namespace op = script_op;
    std::uint8_t a = 0;
    if (!takeVariable(rest, a)) return false;
    int relation = -1;
    if (takeLiteral(rest, " = ")) relation = 0;
    else if (!setOnly && takeLiteral(rest, " < ")) relation = 1;
    else if (!setOnly && takeLiteral(rest, " > ")) relation = 2;
    if (relation < 0) return false;

    std::string_view tail = rest;
    std::uint8_t b = 0;
    if (takeVariable(tail, b) && tail.empty()) {
        const std::uint8_t base = setOnly ? op::kSetVariable : op::kIfVariableEqual;
        out = twoVariableStatement(static_cast<std::uint8_t>(base + relation), a, b);
        return true;
    }
    long c = 0;
    if (takeNumber(rest, 65535, c) && rest.empty()) {
        const std::uint8_t base = setOnly ? op::kSetConstant : op::kIfConstantEqual;
        out = variableConstantStatement(static_cast<std::uint8_t>(base + relation), a, static_cast<std::uint16_t>(c));
        return true;
    }
    return false;
}

}  // namespace

bool readCodeLine(std::string_view line, ScriptStatement& out, std::string& reason) {
    namespace op = script_op;
    reason = "not a script statement";

    // The command line's own forms; no statement line starts like them.
    std::string_view rest = line;
    if (takeLiteral(rest, kBytesPrefix)) {
        if (readBytes(rest, out)) return true;
        reason = kBadBytesLineMessage;
        return false;
    }
    for (const auto& [format, opcode] :
         {std::pair{kEscapedExecFormat, op::kExec}, std::pair{kEscapedMacroFormat, op::kMacro}}) {
        const StatementInfo escaped{opcode, OperandLayout::Text, 0, format, TextForm::Escaped};
        bool matched = false;
        if (readText(line, escaped, out, reason, matched)) {
            out.text = statementLineText(out.bytes.data(), out.bytes.size());
            return true;
        }
        if (matched) return false;
    }

    for (auto* info = statementTableBegin(); info != statementTableEnd(); ++info) {
        if (info->layout == OperandLayout::None && line == info->format) {
            out = plainStatement(info->opcode);
            return true;
        }
    }

    // Quoted texts first, so "Macro Write \"...\"" is not taken for a macro name.
    for (std::uint8_t opcode : {op::kPrintA, op::kPrintB, op::kExec, op::kMacroWrite, op::kMacro}) {
        bool matched = false;
        if (readText(line, *findStatement(opcode), out, reason, matched)) return true;
        if (matched) return false;
    }

    struct FlagForm {
        std::string_view prefix;
        std::uint8_t opcode;
    };
    for (const FlagForm& form : {FlagForm{"Set Flags ", op::kSetFlags}, FlagForm{"Clear Flags ", op::kClearFlags},
                                 FlagForm{"Toggle Flags ", op::kToggleFlags}}) {
        std::uint8_t care = 0, value = 0;
        if (startsWith(line, form.prefix) && readFlags(line.substr(form.prefix.size()), false, care, value)) {
            out = flagSetStatement(form.opcode, value);
            return true;
        }
    }
    if (startsWith(line, "If Flags ")) {
        std::uint8_t care = 0, value = 0;
        if (!readFlags(line.substr(9), true, care, value)) return false;
        out = ifFlagsStatement(care, value);
        return true;
    }

    std::string_view s = line;
    long c = 0, x = 0, y = 0;
    if (takeLiteral(s, "Poke ")) {
        if (takeNumber(s, 65535, c) && takeLiteral(s, ", ") && takeNumber(s, 255, x) && takeLiteral(s, "&") &&
            takeNumber(s, 255, y) && s.empty()) {
            out = pokeStatement(static_cast<std::uint16_t>(c), static_cast<std::uint8_t>(x),
                                static_cast<std::uint8_t>(y));
            return true;
        }
        return false;
    }
    if (takeLiteral(s, "If Peek ")) {
        if (takeNumber(s, 65535, c) && takeLiteral(s, " and ") && takeNumber(s, 255, x) && takeLiteral(s, " = ") &&
            takeNumber(s, 255, y) && s.empty()) {
            out = peekStatement(static_cast<std::uint16_t>(c), static_cast<std::uint8_t>(x),
                                static_cast<std::uint8_t>(y));
            return true;
        }
        return false;
    }
    if (takeLiteral(s, "If In Area (")) {
        double v[4];
        if (takeAngle(s, v[0]) && takeLiteral(s, ",") && takeAngle(s, v[1]) && takeLiteral(s, ")(") &&
            takeAngle(s, v[2]) && takeLiteral(s, ",") && takeAngle(s, v[3]) && takeLiteral(s, ")") && s.empty()) {
            out = areaStatement(v[0], v[1], v[2], v[3]);
            return true;
        }
        return false;
    }

    std::uint8_t a = 0;
    s = line;
    if (takeLiteral(s, "Increment ") || takeLiteral(s, "Decrement ")) {
        const std::uint8_t opcode = startsWith(line, "Increment ") ? op::kIncrement : op::kDecrement;
        if (takeVariable(s, a) && s.empty()) {
            out = variableStatement(opcode, a);
            return true;
        }
        return false;
    }
    s = line;
    if (takeLiteral(s, "Set ")) return readComparison(s, true, out);
    s = line;
    if (takeLiteral(s, "If ")) return readComparison(s, false, out);
    return false;
}

CodeListingResult readCodeListing(std::string_view text) {
    CodeListingResult result;
    int number = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty()) continue;
        ScriptStatement statement;
        std::string reason;
        if (!readCodeLine(line, statement, reason)) {
            result.errorLine = number;
            result.errorText = reason;
            result.statements.clear();
            return result;
        }
        result.statements.push_back(std::move(statement));
    }
    return result;
}

}  // namespace varnel
