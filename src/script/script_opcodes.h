#pragma once

#include <cstddef>
#include <cstdint>

namespace varnel {

// The tracker's script is a string of statements, each an opcode byte followed
// by its operands, packed back to back and ended by 0xFF. Every opcode with
// bit 7 set opens a block that "End Block" closes; conditions are their action
// counterparts with bit 7 added (Set A = B -> If A = B, Poke -> If Peek).
namespace script_op {
inline constexpr std::uint8_t kEndBlock = 0;
inline constexpr std::uint8_t kElse = 3;
inline constexpr std::uint8_t kQuick = 4;
inline constexpr std::uint8_t kDecrement = 20;
inline constexpr std::uint8_t kIncrement = 21;
inline constexpr std::uint8_t kSetFlags = 22;
inline constexpr std::uint8_t kClearFlags = 23;
inline constexpr std::uint8_t kToggleFlags = 24;
inline constexpr std::uint8_t kSetVariable = 40;
inline constexpr std::uint8_t kSetConstant = 60;
inline constexpr std::uint8_t kPoke = 80;
inline constexpr std::uint8_t kPrintA = 90;
inline constexpr std::uint8_t kPrintB = 91;
inline constexpr std::uint8_t kExec = 92;
inline constexpr std::uint8_t kMacroWrite = 94;
inline constexpr std::uint8_t kOnStartup = 128;
inline constexpr std::uint8_t kOnSecond = 129;
inline constexpr std::uint8_t kIfProfile1 = 130;
inline constexpr std::uint8_t kIfProfile2 = 131;
inline constexpr std::uint8_t kOnInterrupt = 132;
inline constexpr std::uint8_t kOnGpsFix = 133;
inline constexpr std::uint8_t kDoOnce = 134;
inline constexpr std::uint8_t kIfVariableEqual = 168;
inline constexpr std::uint8_t kIfVariableLess = 169;
inline constexpr std::uint8_t kIfVariableGreater = 170;
inline constexpr std::uint8_t kIfFlags = 171;
inline constexpr std::uint8_t kIfConstantEqual = 188;
inline constexpr std::uint8_t kIfConstantLess = 189;
inline constexpr std::uint8_t kIfConstantGreater = 190;
inline constexpr std::uint8_t kIfPeek = 208;
inline constexpr std::uint8_t kMacro = 221;
inline constexpr std::uint8_t kIfInArea = 223;
inline constexpr std::uint8_t kEndOfProgram = 255;

inline constexpr std::uint8_t kBlockOpenerBit = 0x80;
}  // namespace script_op

inline bool opensBlock(std::uint8_t opcode) { return (opcode & script_op::kBlockOpenerBit) != 0; }

// How the bytes after the opcode are laid out.
enum class OperandLayout {
    None,              // nothing
    Variable,          // A
    FlagSet,           // one flag byte, flag 1 = bit 0
    TwoVariables,      // A, B
    VariableConstant,  // A, C (u16 big-endian)
    PokeOperands,      // C (u16), Y, X: the firmware takes the value before the mask
    PeekOperands,      // C (u16), X, Y
    CareValue,         // care mask, then the value the cared-for flags must have
    Text,              // length byte n, then n-1 text bytes and a 0x00
    Area,              // length byte 16, then four 32-bit angles
};

// How a text operand is turned into bytes and shown again.
enum class TextForm {
    None,
    Escaped,    // backslash escapes are resolved when stored and shown again when listed
    AsTyped,    // stored and shown exactly as typed
    UpperCase,  // macro names: upper-cased when stored, shown as stored
};

struct StatementInfo {
    std::uint8_t opcode;
    OperandLayout layout;
    std::uint8_t size;   // total bytes; 0 when a length byte follows the opcode
    const char* format;  // the line shown for it, printf style
    TextForm textForm;
};

// Every statement the firmware knows, in opcode order. The terminator 0xFF is
// not a statement and is not in the table.
const StatementInfo* findStatement(std::uint8_t opcode);

// For iterating over all of them (tests, the listing reader).
const StatementInfo* statementTableBegin();
const StatementInfo* statementTableEnd();

// A text statement is opcode, length byte, text, 0x00; the length byte counts
// the text and its 0x00, so at most 254 text bytes can be stored.
inline constexpr std::size_t kMaxStoredTextLength = 254;
inline constexpr std::uint8_t kAreaOperandLength = 16;
inline constexpr std::size_t kAreaStatementSize = 18;

// The size of the statement that starts at `bytes` as the firmware steps over
// it (the table's size, or the length byte plus two), or 0 when no statement
// the firmware knows starts there or its bytes run past `available`. An area
// test shorter than its four corners counts as none.
std::size_t storedStatementSize(const std::uint8_t* bytes, std::size_t available);

}  // namespace varnel
