#pragma once

#include <array>
#include <string_view>

#include "forms/common/form_control.h"
#include "script/script_editor_model.h"

namespace varnel {

// Control ids of the script editor window.
namespace script_editor_id {
inline constexpr int kLineList = 1294;
inline constexpr int kVariableA = 1305;
inline constexpr int kVariableB = 1307;
inline constexpr int kConstantC = 1308;
inline constexpr int kTextT = 1319;
inline constexpr int kValueX = 1330;
inline constexpr int kValueY = 1331;
inline constexpr int kFlag1 = 1337;  // to kFlag1 + 7 for flag 8
inline constexpr int kNwLatHemisphere = 1352;
inline constexpr int kNwLonHemisphere = 1353;
inline constexpr int kNwLatDegrees = 1354;
inline constexpr int kNwLonDegrees = 1355;
inline constexpr int kNwLatMinutes = 1356;
inline constexpr int kNwLonMinutes = 1357;
inline constexpr int kSeLatHemisphere = 1358;
inline constexpr int kSeLatDegrees = 1359;
inline constexpr int kSeLatMinutes = 1360;
inline constexpr int kSeLonHemisphere = 1361;
inline constexpr int kSeLonDegrees = 1362;
inline constexpr int kSeLonMinutes = 1363;
inline constexpr int kByteCounter = 1325;
inline constexpr int kEnableScript = 1351;
}  // namespace script_editor_id

// What the script editor's controls hold. The editor's rules are
// ScriptEditorModel's; this form is only the shape a Qt view binds to.
struct ScriptEditorForm {
    FormControl lines;  // the line list: its rows and the selected row
    FormControl variableA, variableB;
    FormControl constantC, textT, valueX, valueY;
    FormControl flag1, flag2, flag3, flag4, flag5, flag6, flag7, flag8;  // three-state
    FormControl nwLatHemisphere, nwLonHemisphere, seLatHemisphere, seLonHemisphere;
    FormControl nwLatDegrees, nwLatMinutes, nwLonDegrees, nwLonMinutes;
    FormControl seLatDegrees, seLatMinutes, seLonDegrees, seLonMinutes;
    FormControl byteCounter;
    FormControl enableScript;
};

using ScriptEditorControlInfo = ControlInfo<ScriptEditorForm>;
inline constexpr std::size_t kScriptEditorControlCount = 29;
extern const std::array<ScriptEditorControlInfo, kScriptEditorControlCount> kScriptEditorControls;

// The statement buttons: control id, object name in the layout, what a press does.
struct ScriptButtonInfo {
    int id;
    std::string_view name;
    ScriptButton button;
};
extern const std::array<ScriptButtonInfo, 32> kScriptButtons;

// Model -> form: the lines, the selection, the counter, the hemisphere
// captions, the operand inputs and the "Enable Script Engine" box.
void showScriptEditor(const ScriptEditorModel& model, ScriptEditorForm& form);

// Form -> model: what the user may have changed (selection, operand inputs,
// the enable box), before a button acts on it.
void readScriptEditor(const ScriptEditorForm& form, ScriptEditorModel& model);

}  // namespace varnel
