#include "script/script_opcodes.h"

#include <array>

namespace varnel {

namespace {

using L = OperandLayout;
using T = TextForm;
namespace op = script_op;

constexpr std::array<StatementInfo, 32> kStatements{{
    {op::kEndBlock, L::None, 1, "End Block", T::None},
    {op::kElse, L::None, 1, "Else", T::None},
    {op::kQuick, L::None, 1, "Quick", T::None},
    {op::kDecrement, L::Variable, 2, "Decrement %s", T::None},
    {op::kIncrement, L::Variable, 2, "Increment %s", T::None},
    {op::kSetFlags, L::FlagSet, 2, "Set Flags %s", T::None},
    {op::kClearFlags, L::FlagSet, 2, "Clear Flags %s", T::None},
    {op::kToggleFlags, L::FlagSet, 2, "Toggle Flags %s", T::None},
    {op::kSetVariable, L::TwoVariables, 3, "Set %s = %s", T::None},
    {op::kSetConstant, L::VariableConstant, 4, "Set %s = %d", T::None},
    {op::kPoke, L::PokeOperands, 5, "Poke %d, %d&%d", T::None},
    {op::kPrintA, L::Text, 0, "PrintA \"%s\"", T::Escaped},
    {op::kPrintB, L::Text, 0, "PrintB \"%s\"", T::Escaped},
    {op::kExec, L::Text, 0, "Exec \"%s\"", T::AsTyped},
    {op::kMacroWrite, L::Text, 0, "Macro Write \"%s\"", T::Escaped},
    {op::kOnStartup, L::None, 1, "On Startup", T::None},
    {op::kOnSecond, L::None, 1, "On Second", T::None},
    {op::kIfProfile1, L::None, 1, "If Profile 1", T::None},
    {op::kIfProfile2, L::None, 1, "If Profile 2", T::None},
    {op::kOnInterrupt, L::None, 1, "On Interrupt", T::None},
    {op::kOnGpsFix, L::None, 1, "On GPS Fix", T::None},
    {op::kDoOnce, L::None, 1, "Do Once", T::None},
    {op::kIfVariableEqual, L::TwoVariables, 3, "If %s = %s", T::None},
    {op::kIfVariableLess, L::TwoVariables, 3, "If %s < %s", T::None},
    {op::kIfVariableGreater, L::TwoVariables, 3, "If %s > %s", T::None},
    {op::kIfFlags, L::CareValue, 3, "If Flags %s", T::None},
    {op::kIfConstantEqual, L::VariableConstant, 4, "If %s = %d", T::None},
    {op::kIfConstantLess, L::VariableConstant, 4, "If %s < %d", T::None},
    {op::kIfConstantGreater, L::VariableConstant, 4, "If %s > %d", T::None},
    {op::kIfPeek, L::PeekOperands, 5, "If Peek %d and %d = %d", T::None},
    {op::kMacro, L::Text, 0, "Macro %s", T::UpperCase},
    {op::kIfInArea, L::Area, 0, "If In Area (%02.5f,%03.5f)(%02.5f,%03.5f)", T::None},
}};

}  // namespace

const StatementInfo* findStatement(std::uint8_t opcode) {
    for (const auto& s : kStatements)
        if (s.opcode == opcode) return &s;
    return nullptr;
}

std::size_t storedStatementSize(const std::uint8_t* bytes, std::size_t available) {
    if (available == 0) return 0;
    const StatementInfo* info = findStatement(bytes[0]);
    if (!info) return 0;
    std::size_t size = info->size;
    if (size == 0) {
        if (available < 2) return 0;  // the length byte itself is missing
        size = std::size_t{bytes[1]} + 2;
    }
    if (size > available) return 0;
    if (info->layout == OperandLayout::Area && size < kAreaStatementSize) return 0;
    return size;
}

const StatementInfo* statementTableBegin() { return kStatements.data(); }
const StatementInfo* statementTableEnd() { return kStatements.data() + kStatements.size(); }

}  // namespace varnel
