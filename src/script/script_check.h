#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// What the firmware would run differently from what the lines suggest: a
// statement no event ever reaches (it sits outside every "On ..." block), a
// block left open at the end, an operand with nothing in it. The compiler
// stores any order of statements; this is the editor's second look before OK
// stores them. One line per finding, "line N: ..." with N counted from the
// first statement. `operandsLeftEmpty` marks the statements whose number
// box (C, X or Y) was empty when its button added them: they hold 0, which
// the bytes cannot tell from a 0 typed on purpose.
std::vector<std::string> scriptCheckFindings(const std::vector<std::vector<std::uint8_t>>& statements,
                                             const std::vector<bool>& operandsLeftEmpty = {});

// The question OK asks when there are findings: the first few of them, and
// whether to store the program all the same.
std::string scriptCheckQuestion(const std::vector<std::string>& findings);

inline constexpr const char* kScriptCheckHeading = "This script may not run as its lines suggest:";
inline constexpr const char* kScriptCheckQuestionText = "Store it anyway?";
inline constexpr const char* kOutsideEventFinding = "outside any event block";
inline constexpr const char* kNoEndBlockFinding = "has no End Block";
inline constexpr const char* kEmptyOperandFinding = "operand left empty";
inline constexpr std::size_t kScriptCheckShownFindings = 10;

}  // namespace varnel
