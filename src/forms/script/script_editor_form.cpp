#include "forms/script/script_editor_form.h"

#include <string>

#include "script/script_variables.h"

namespace varnel {

namespace id = script_editor_id;

namespace {

using F = ScriptEditorForm;
using T = ControlType;

// The operand edits hold what the model reads of them: six characters of a
// number, 255 of a text, two or three digits of degrees, six of minutes.
constexpr int kNumberLimit = 6;
constexpr int kTextLimit = 255;
constexpr int kLatDegreesLimit = 2;
constexpr int kLonDegreesLimit = 3;
constexpr int kMinutesLimit = 6;

constexpr std::string_view kFlagTip = "Ticked: 1, clear: 0; the third state (If Flags): either";

constexpr std::array<FormControl F::*, 8> kFlagBoxes{&F::flag1, &F::flag2, &F::flag3, &F::flag4,
                                                     &F::flag5, &F::flag6, &F::flag7, &F::flag8};

// Each typed edit and the operand input of the model it feeds.
struct EditInput {
    FormControl F::*edit;
    std::string ScriptOperandInputs::*input;
};
using I = ScriptOperandInputs;
constexpr std::array<EditInput, 12> kEditInputs{{
    {&F::constantC, &I::cText},
    {&F::textT, &I::tText},
    {&F::valueX, &I::xText},
    {&F::valueY, &I::yText},
    {&F::nwLatDegrees, &I::nwLatDegrees},
    {&F::nwLatMinutes, &I::nwLatMinutes},
    {&F::nwLonDegrees, &I::nwLonDegrees},
    {&F::nwLonMinutes, &I::nwLonMinutes},
    {&F::seLatDegrees, &I::seLatDegrees},
    {&F::seLatMinutes, &I::seLatMinutes},
    {&F::seLonDegrees, &I::seLonDegrees},
    {&F::seLonMinutes, &I::seLonMinutes},
}};

// The form counts a three-state box as 0 unchecked, 1 checked, 2 indeterminate.
int flagPosition(FlagBox box) { return box == FlagBox::Checked ? 1 : box == FlagBox::Indeterminate ? 2 : 0; }
FlagBox flagBox(int position) {
    return position == 1 ? FlagBox::Checked : position == 2 ? FlagBox::Indeterminate : FlagBox::Unchecked;
}

void fillVariables(FormControl& list, int selected) {
    if (list.entries.empty())
        for (std::size_t i = 0; i < kScriptVariables.size(); ++i)
            list.entries.push_back({std::string(kScriptVariables[i]), static_cast<int>(i)});
    list.selected = selected;
}

}  // namespace

const std::array<ScriptEditorControlInfo, kScriptEditorControlCount> kScriptEditorControls{{
    {id::kLineList, "lineList", T::ListBox, &F::lines, 0, "", "Script lines"},
    {id::kVariableA, "variableA", T::List, &F::variableA, 0, ""},
    {id::kVariableB, "variableB", T::List, &F::variableB, 0, ""},
    {id::kConstantC, "constantC", T::DigitEdit, &F::constantC, kNumberLimit, ""},
    {id::kTextT, "textT", T::Edit, &F::textT, kTextLimit, ""},
    {id::kValueX, "valueX", T::DigitEdit, &F::valueX, kNumberLimit, ""},
    {id::kValueY, "valueY", T::DigitEdit, &F::valueY, kNumberLimit, ""},
    {id::kFlag1 + 0, "flag1", T::ThreeState, &F::flag1, 0, kFlagTip, "Flag 1"},
    {id::kFlag1 + 1, "flag2", T::ThreeState, &F::flag2, 0, kFlagTip, "Flag 2"},
    {id::kFlag1 + 2, "flag3", T::ThreeState, &F::flag3, 0, kFlagTip, "Flag 3"},
    {id::kFlag1 + 3, "flag4", T::ThreeState, &F::flag4, 0, kFlagTip, "Flag 4"},
    {id::kFlag1 + 4, "flag5", T::ThreeState, &F::flag5, 0, kFlagTip, "Flag 5"},
    {id::kFlag1 + 5, "flag6", T::ThreeState, &F::flag6, 0, kFlagTip, "Flag 6"},
    {id::kFlag1 + 6, "flag7", T::ThreeState, &F::flag7, 0, kFlagTip, "Flag 7"},
    {id::kFlag1 + 7, "flag8", T::ThreeState, &F::flag8, 0, kFlagTip, "Flag 8"},
    {id::kNwLatHemisphere, "nwLatHemisphere", T::Button, &F::nwLatHemisphere, 0, "", "North-west latitude hemisphere"},
    {id::kNwLonHemisphere, "nwLonHemisphere", T::Button, &F::nwLonHemisphere, 0, "", "North-west longitude hemisphere"},
    {id::kNwLatDegrees, "nwLatDegrees", T::DigitEdit, &F::nwLatDegrees, kLatDegreesLimit, "",
     "North-west latitude degrees"},
    {id::kNwLatMinutes, "nwLatMinutes", T::Edit, &F::nwLatMinutes, kMinutesLimit, "", "North-west latitude minutes"},
    {id::kNwLonDegrees, "nwLonDegrees", T::DigitEdit, &F::nwLonDegrees, kLonDegreesLimit, "",
     "North-west longitude degrees"},
    {id::kNwLonMinutes, "nwLonMinutes", T::Edit, &F::nwLonMinutes, kMinutesLimit, "", "North-west longitude minutes"},
    {id::kSeLatHemisphere, "seLatHemisphere", T::Button, &F::seLatHemisphere, 0, "", "South-east latitude hemisphere"},
    {id::kSeLonHemisphere, "seLonHemisphere", T::Button, &F::seLonHemisphere, 0, "", "South-east longitude hemisphere"},
    {id::kSeLatDegrees, "seLatDegrees", T::DigitEdit, &F::seLatDegrees, kLatDegreesLimit, "",
     "South-east latitude degrees"},
    {id::kSeLatMinutes, "seLatMinutes", T::Edit, &F::seLatMinutes, kMinutesLimit, "", "South-east latitude minutes"},
    {id::kSeLonDegrees, "seLonDegrees", T::DigitEdit, &F::seLonDegrees, kLonDegreesLimit, "",
     "South-east longitude degrees"},
    {id::kSeLonMinutes, "seLonMinutes", T::Edit, &F::seLonMinutes, kMinutesLimit, "", "South-east longitude minutes"},
    {id::kByteCounter, "byteCounter", T::Label, &F::byteCounter, 0, ""},
    {id::kEnableScript, "enableScript", T::Check, &F::enableScript, 0, ""},
}};

const std::array<ScriptButtonInfo, 32> kScriptButtons{{
    {1297, "endBlockButton", ScriptButton::EndBlock},
    {1298, "elseButton", ScriptButton::Else},
    {1299, "quickButton", ScriptButton::Quick},
    {1302, "onStartupButton", ScriptButton::OnStartup},
    {1303, "onSecondButton", ScriptButton::OnSecond},
    {1300, "ifProfile1Button", ScriptButton::IfProfile1},
    {1301, "ifProfile2Button", ScriptButton::IfProfile2},
    {1304, "onInterruptButton", ScriptButton::OnInterrupt},
    {1365, "onGpsFixButton", ScriptButton::OnGpsFix},
    {1381, "doOnceButton", ScriptButton::DoOnce},
    {1309, "ifAEqualsBButton", ScriptButton::IfAEqualsB},
    {1311, "ifALessBButton", ScriptButton::IfALessB},
    {1310, "ifAGreaterBButton", ScriptButton::IfAGreaterB},
    {1312, "ifAEqualsCButton", ScriptButton::IfAEqualsC},
    {1314, "ifALessCButton", ScriptButton::IfALessC},
    {1313, "ifAGreaterCButton", ScriptButton::IfAGreaterC},
    {1315, "setAToBButton", ScriptButton::SetAToB},
    {1316, "setAToCButton", ScriptButton::SetAToC},
    {1317, "incrementAButton", ScriptButton::IncrementA},
    {1318, "decrementAButton", ScriptButton::DecrementA},
    {1320, "portAPrintButton", ScriptButton::PortAPrint},
    {1321, "portBPrintButton", ScriptButton::PortBPrint},
    {1350, "macroOutButton", ScriptButton::MacroOut},
    {1322, "executeTButton", ScriptButton::ExecuteT},
    {1349, "macroTButton", ScriptButton::MacroT},
    {1328, "peekButton", ScriptButton::PeekCXY},
    {1329, "pokeButton", ScriptButton::PokeCXY},
    {1345, "setFlagsButton", ScriptButton::SetFlags},
    {1348, "clearFlagsButton", ScriptButton::ClearFlags},
    {1346, "toggleFlagsButton", ScriptButton::ToggleFlags},
    {1347, "ifFlagsButton", ScriptButton::IfFlags},
    {1364, "ifInAreaButton", ScriptButton::IfInArea},
}};

void showScriptEditor(const ScriptEditorModel& model, ScriptEditorForm& form) {
    form.lines.entries.resize(static_cast<std::size_t>(model.itemCount()));
    for (int item = 0; item < model.itemCount(); ++item)
        form.lines.entries[static_cast<std::size_t>(item)] = {model.itemText(item), item};
    form.lines.selected = model.selected();

    fillVariables(form.variableA, model.inputs.aIndex);
    fillVariables(form.variableB, model.inputs.bIndex);
    for (const EditInput& e : kEditInputs) (form.*e.edit).text = model.inputs.*e.input;
    for (std::size_t i = 0; i < kFlagBoxes.size(); ++i)
        (form.*kFlagBoxes[i]).position = flagPosition(model.inputs.flags[i]);

    form.nwLatHemisphere.text = ScriptEditorModel::latitudeCaption(model.nwLatSouth);
    form.nwLonHemisphere.text = ScriptEditorModel::longitudeCaption(model.nwLonWest);
    form.seLatHemisphere.text = ScriptEditorModel::latitudeCaption(model.seLatSouth);
    form.seLonHemisphere.text = ScriptEditorModel::longitudeCaption(model.seLonWest);

    form.byteCounter.text = model.counterText();
    form.enableScript.checked = model.scriptEnabled;
}

void readScriptEditor(const ScriptEditorForm& form, ScriptEditorModel& model) {
    model.select(form.lines.selected);
    model.inputs.aIndex = form.variableA.selected;
    model.inputs.bIndex = form.variableB.selected;
    for (const EditInput& e : kEditInputs) model.inputs.*e.input = (form.*e.edit).text;
    for (std::size_t i = 0; i < kFlagBoxes.size(); ++i) model.inputs.flags[i] = flagBox((form.*kFlagBoxes[i]).position);
    model.scriptEnabled = form.enableScript.checked;
}

}  // namespace varnel
