#include "script/script_editor_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "config/profile_layout.h"
#include "core/user_interface.h"
#include "script/script_check.h"
#include "script/script_compiler.h"
#include "script/script_lister.h"
#include "script/script_variables.h"
#include "script/text_escape.h"
#include "session/session.h"

namespace varnel {

namespace {

// Bit 7 of the profile's feature byte tells the firmware to run the script.
constexpr std::uint8_t kScriptEnabledBit = profile_layout::kFeatureScriptEnabled;

// The operand edits hold at most this many characters.
constexpr std::size_t kNumberEditLength = 6;
constexpr std::size_t kTextEditLength = 255;
constexpr std::size_t kLatDegreesLength = 2;
constexpr std::size_t kLonDegreesLength = 3;
constexpr std::size_t kMinutesLength = 6;

// Reads a number the way the C runtime's atoi does: leading blanks, a sign,
// then digits up to the first other character; no digits read as 0.
long leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) value = value * 10 + (text[i++] - '0');
    return negative ? -value : value;
}

// A corner's degrees: digits only; an empty edit counts as 0.
bool wholeDegrees(std::string_view text, double& out) {
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    out = static_cast<double>(leadingInteger(text));
    return true;
}

// A corner's minutes: a plain decimal number; an empty edit counts as 0.
bool decimalMinutes(const std::string& text, double& out) {
    if (text.empty()) {
        out = 0.0;
        return true;
    }
    bool digitSeen = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') digitSeen = true;
        else if (c != '.') return false;
    }
    if (!digitSeen || std::count(text.begin(), text.end(), '.') > 1) return false;
    out = std::strtod(text.c_str(), nullptr);
    return true;
}

std::string indentation(int level) {
    return std::string(static_cast<std::size_t>(std::min(2 * level, ScriptEditorModel::kMaxIndent)), ' ');
}

}  // namespace

std::uint8_t& currentProfileFeatureFlags(Session& session) { return session.profile()[profile_layout::kFeatureFlags]; }

ScriptEditorModel::ScriptEditorModel(ScriptArea& area, std::uint8_t& featureFlags, UserInterface& ui)
    : area_(area), featureFlags_(featureFlags), ui_(ui), slots_(kSlotCount) {
    scriptEnabled = (featureFlags_ & kScriptEnabledBit) != 0;
    items_ = {-1, -1};
    selected_ = lastItem();
    byteTotal_ = 0;
    for (const auto& line : listScript(area_)) addLine(line.text, line.bytes);
    inputs.aIndex = 0;
    inputs.bIndex = 1;
}

std::string ScriptEditorModel::itemText(int item) const {
    if (item == 0) return kBeginText;
    if (item == lastItem()) return kEndText;
    const ScriptLine& line = slotOf(item);
    return indentation(line.level) + line.text;
}

void ScriptEditorModel::select(int item) { selected_ = (item >= 0 && item < itemCount()) ? item : -1; }

std::string ScriptEditorModel::counterText() const {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d of %d", byteTotal_, static_cast<int>(kScriptAreaSize));
    return buffer;
}

int ScriptEditorModel::levelAfter(int item) const {
    const ScriptLine& line = slotOf(item);
    int level = line.level;
    if (opensBlock(line.bytes.front())) ++level;
    if (line.bytes.front() == script_op::kElse) ++level;
    return level;
}

bool ScriptEditorModel::addLine(const std::string& text, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return false;
    auto free = std::find_if(slots_.begin(), slots_.end(), [](const ScriptLine& s) { return s.length == 0; });
    if (free == slots_.end()) {
        ui_.message(kScriptFullMessage);
        return false;
    }

    int anchor = selected_;
    if (anchor < 0 || anchor == lastItem()) anchor = lastItem() - 1;

    int level = anchor == 0 ? 0 : levelAfter(anchor);
    const std::uint8_t opcode = bytes.front();
    const bool closesOrSplits = opcode == script_op::kEndBlock || opcode == script_op::kElse;
    if (closesOrSplits && level > 0) --level;

    const int slot = static_cast<int>(free - slots_.begin());
    free->length = bytes.size();
    free->bytes = bytes;
    free->text = text;
    free->level = level;
    free->operandLeftEmpty = false;
    items_.insert(items_.begin() + anchor + 1, slot);
    selected_ = anchor + 1;
    byteTotal_ += static_cast<int>(bytes.size());

    if (closesOrSplits || opensBlock(opcode)) reindent(anchor);
    return true;
}

void ScriptEditorModel::reindent(int anchor) {
    int level = 0;
    int start = 1;
    if (anchor > 1) {
        level = levelAfter(anchor);
        start = anchor + 1;
    }
    for (int item = start; item < lastItem(); ++item) {
        ScriptLine& line = slots_[static_cast<std::size_t>(items_[static_cast<std::size_t>(item)])];
        const std::uint8_t op = line.bytes.front();
        if (level > 0 && (op == script_op::kEndBlock || op == script_op::kElse)) --level;
        line.level = level;
        if (opensBlock(op)) ++level;
        if (op == script_op::kElse) ++level;
    }
}

void ScriptEditorModel::deleteLine() {
    const int item = selected_;
    if (!isStatementItem(item)) return;
    ScriptLine& line = slots_[static_cast<std::size_t>(items_[static_cast<std::size_t>(item)])];
    byteTotal_ -= static_cast<int>(line.length);
    line = ScriptLine{};
    items_.erase(items_.begin() + item);
    reindent(item - 1);
    selected_ = item;
}

void ScriptEditorModel::moveUp() {
    const int item = selected_;
    if (!isStatementItem(item) || item == 1) return;
    std::swap(items_[static_cast<std::size_t>(item)], items_[static_cast<std::size_t>(item - 1)]);
    reindent(item - 2);
    selected_ = item - 1;
}

void ScriptEditorModel::moveDown() {
    const int item = selected_;
    if (!isStatementItem(item) || item == lastItem() - 1) return;
    const auto at = static_cast<std::size_t>(item);
    std::swap(items_[at], items_[at + 1]);
    reindent(item - 2);
    selected_ = item + 1;
}

void ScriptEditorModel::readOperands() {
    auto variableIndex = [](int index) {
        return static_cast<std::uint8_t>(index >= 0 && index < static_cast<int>(kScriptVariables.size()) ? index : 0);
    };
    aIndex_ = variableIndex(inputs.aIndex);
    bIndex_ = variableIndex(inputs.bIndex);
    tText_ = inputs.tText.substr(0, kTextEditLength);

    long c = leadingInteger(std::string_view(inputs.cText).substr(0, kNumberEditLength));
    if (c < 0 || c > 65535) ui_.message(kConstantRangeMessage);
    else c_ = static_cast<std::uint16_t>(c);

    long x = leadingInteger(std::string_view(inputs.xText).substr(0, kNumberEditLength));
    if (x < 0 || x > 65535) ui_.message(kXRangeMessage);
    else x_ = static_cast<std::uint16_t>(x);

    long y = leadingInteger(std::string_view(inputs.yText).substr(0, kNumberEditLength));
    if (y < 0 || y > 255) ui_.message(kYRangeMessage);
    else y_ = static_cast<std::uint8_t>(y);
}

void ScriptEditorModel::addText(std::uint8_t opcode) {
    std::vector<std::uint8_t> stored;
    std::string shown = tText_;
    switch (findStatement(opcode)->textForm) {
    case TextForm::Escaped:
        stored = unescapeText(tText_);
        stored.pop_back();  // the statement adds its own closing 0x00
        break;
    case TextForm::UpperCase:
        for (char& ch : shown) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        stored.assign(shown.begin(), shown.end());
        break;
    default: stored.assign(tText_.begin(), tText_.end()); break;
    }
    auto statement = textStatement(opcode, stored, shown);
    if (!statement) {
        ui_.message(kTextTooLongMessage);
        return;
    }
    addStatement(*statement);
}

std::uint8_t ScriptEditorModel::flagByte() const {
    std::uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (inputs.flags[static_cast<std::size_t>(bit)] == FlagBox::Checked)
            byte |= static_cast<std::uint8_t>(1u << bit);
    return byte;
}

void ScriptEditorModel::addArea() {
    struct Corner {
        const std::string& degrees;
        const std::string& minutes;
        bool latitude;
        bool negative;
    };
    const Corner corners[4] = {
        {inputs.nwLatDegrees, inputs.nwLatMinutes, true, nwLatSouth},
        {inputs.nwLonDegrees, inputs.nwLonMinutes, false, nwLonWest},
        {inputs.seLatDegrees, inputs.seLatMinutes, true, seLatSouth},
        {inputs.seLonDegrees, inputs.seLonMinutes, false, seLonWest},
    };
    double value[4];
    for (int i = 0; i < 4; ++i) {
        const Corner& k = corners[i];
        const double maxDegrees = k.latitude ? 90.0 : 180.0;
        const char* failure = k.latitude ? kInvalidLatitudeMessage : kInvalidLongitudeMessage;
        double degrees = 0, minutes = 0;
        const std::size_t length = k.latitude ? kLatDegreesLength : kLonDegreesLength;
        if (!wholeDegrees(std::string_view(k.degrees).substr(0, length), degrees) || degrees > maxDegrees) {
            ui_.message(failure);
            return;
        }
        if (!decimalMinutes(k.minutes.substr(0, kMinutesLength), minutes) || !(minutes >= 0.0 && minutes <= 60.0)) {
            ui_.message(failure);
            return;
        }
        double total = degrees + minutes / 60.0;
        // A longitude past 180 degrees has no 32-bit angle: the firmware's
        // scale puts exactly 180 at the top of the range.
        if (!k.latitude && total > 180.0) {
            ui_.message(failure);
            return;
        }
        value[i] = k.negative ? -total : total;
    }
    addStatement(areaStatement(value[0], value[1], value[2], value[3]));
}

void ScriptEditorModel::press(ScriptButton button) {
    namespace op = script_op;
    using B = ScriptButton;
    switch (button) {
    case B::EndBlock: addStatement(plainStatement(op::kEndBlock)); return;
    case B::Else: addStatement(plainStatement(op::kElse)); return;
    case B::Quick: addStatement(plainStatement(op::kQuick)); return;
    case B::OnStartup: addStatement(plainStatement(op::kOnStartup)); return;
    case B::OnSecond: addStatement(plainStatement(op::kOnSecond)); return;
    case B::IfProfile1: addStatement(plainStatement(op::kIfProfile1)); return;
    case B::IfProfile2: addStatement(plainStatement(op::kIfProfile2)); return;
    case B::OnInterrupt: addStatement(plainStatement(op::kOnInterrupt)); return;
    case B::OnGpsFix: addStatement(plainStatement(op::kOnGpsFix)); return;
    case B::DoOnce: addStatement(plainStatement(op::kDoOnce)); return;
    case B::SetFlags: addStatement(flagSetStatement(op::kSetFlags, flagByte())); return;
    case B::ClearFlags: addStatement(flagSetStatement(op::kClearFlags, flagByte())); return;
    case B::ToggleFlags: addStatement(flagSetStatement(op::kToggleFlags, flagByte())); return;
    case B::IfFlags: {
        std::uint8_t care = 0xFF;
        for (int bit = 0; bit < 8; ++bit)
            if (inputs.flags[static_cast<std::size_t>(bit)] == FlagBox::Indeterminate)
                care = static_cast<std::uint8_t>(care & ~(1u << bit));
        addStatement(ifFlagsStatement(care, flagByte()));
        return;
    }
    case B::IfInArea: addArea(); return;
    default: break;
    }

    // Every other button reads all the operand inputs first, whether or not
    // its statement uses them, and then adds its line with the values held.
    readOperands();
    // An empty number box reads as 0, which the bytes cannot tell from a 0
    // typed on purpose: the line remembers it for OK's check.
    const auto blank = [](const std::string& t) { return t.find_first_not_of(" \t") == std::string::npos; };
    const bool cUsed = button == B::IfAEqualsC || button == B::IfALessC || button == B::IfAGreaterC ||
                       button == B::SetAToC || button == B::PeekCXY || button == B::PokeCXY;
    const bool xyUsed = button == B::PeekCXY || button == B::PokeCXY;
    const bool leftEmpty = (cUsed && blank(inputs.cText)) || (xyUsed && (blank(inputs.xText) || blank(inputs.yText)));
    const int countBefore = itemCount();
    // The mask/value operand is one byte on the tracker: only X's low 8 bits are stored.
    const auto x = static_cast<std::uint8_t>(x_ & 0xFF);
    switch (button) {
    case B::IfAEqualsB: addStatement(twoVariableStatement(op::kIfVariableEqual, aIndex_, bIndex_)); break;
    case B::IfALessB: addStatement(twoVariableStatement(op::kIfVariableLess, aIndex_, bIndex_)); break;
    case B::IfAGreaterB: addStatement(twoVariableStatement(op::kIfVariableGreater, aIndex_, bIndex_)); break;
    case B::IfAEqualsC: addStatement(variableConstantStatement(op::kIfConstantEqual, aIndex_, c_)); break;
    case B::IfALessC: addStatement(variableConstantStatement(op::kIfConstantLess, aIndex_, c_)); break;
    case B::IfAGreaterC: addStatement(variableConstantStatement(op::kIfConstantGreater, aIndex_, c_)); break;
    case B::SetAToB: addStatement(twoVariableStatement(op::kSetVariable, aIndex_, bIndex_)); break;
    case B::SetAToC: addStatement(variableConstantStatement(op::kSetConstant, aIndex_, c_)); break;
    case B::IncrementA: addStatement(variableStatement(op::kIncrement, aIndex_)); break;
    case B::DecrementA: addStatement(variableStatement(op::kDecrement, aIndex_)); break;
    case B::PortAPrint: addText(op::kPrintA); break;
    case B::PortBPrint: addText(op::kPrintB); break;
    case B::MacroOut: addText(op::kMacroWrite); break;
    case B::ExecuteT: addText(op::kExec); break;
    case B::MacroT: addText(op::kMacro); break;
    case B::PeekCXY: addStatement(peekStatement(c_, x, y_)); break;
    case B::PokeCXY: addStatement(pokeStatement(c_, x, y_)); break;
    default: break;
    }
    if (leftEmpty && itemCount() > countBefore)
        slots_[static_cast<std::size_t>(items_[static_cast<std::size_t>(selected_)])].operandLeftEmpty = true;
}

std::vector<std::vector<std::uint8_t>> ScriptEditorModel::statements() const {
    std::vector<std::vector<std::uint8_t>> out;
    for (int item = 1; item < lastItem(); ++item) out.push_back(slotOf(item).bytes);
    return out;
}

std::vector<bool> ScriptEditorModel::operandsLeftEmpty() const {
    std::vector<bool> out;
    for (int item = 1; item < lastItem(); ++item) out.push_back(slotOf(item).operandLeftEmpty);
    return out;
}

std::vector<std::string> ScriptEditorModel::statementLines() const {
    std::vector<std::string> out;
    for (int item = 1; item < lastItem(); ++item) out.push_back(itemText(item));
    return out;
}

bool ScriptEditorModel::ok() {
    // Compile aside first: a program that does not fit must not leave a
    // half-written script area behind.
    ScriptBuffer scratch;
    const auto program = statements();
    if (compileScript(program, scratch, ui_) == 0) return false;
    const auto findings = scriptCheckFindings(program, operandsLeftEmpty());
    if (!findings.empty() && !ui_.askYesNoDefaultNo(scriptCheckQuestion(findings))) return false;
    std::copy(scratch.begin(), scratch.end(), area_.bytes.begin());
    if (scriptEnabled) featureFlags_ = static_cast<std::uint8_t>(featureFlags_ | kScriptEnabledBit);
    else featureFlags_ = static_cast<std::uint8_t>(featureFlags_ & ~kScriptEnabledBit);
    return true;
}

}  // namespace varnel
