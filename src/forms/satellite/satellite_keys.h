#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/common/form_keys.h"
#include "forms/diagnostics/diagnostics_form.h"
#include "forms/satellite/access_list_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "forms/satellite/profile_switch_form.h"
#include "forms/satellite/smart_beacon_form.h"
#include "forms/satellite/status_text_form.h"
#include "forms/script/script_editor_form.h"
#include "forms/tracker/tracker_form.h"

namespace varnel {

class UserInterface;

// The windows the main tracker dialog opens from its buttons, as the command
// line drives them: each key is `window.field` (smartBeaconing.lowSpeed,
// digipeater.alias3), with rows counted from 1. A window's keys exist only
// where the main dialog offers its button for the chip and firmware.
// The diagnostics window and the script editor keep one profile setting each
// (the receive gain, the "Enable Script Engine" switch) and are keyed too.
enum class SatelliteDialog {
    SmartBeaconing,
    Frequencies,
    StatusTexts,
    AccessList,
    Digipeater,
    ProfileSwitch,
    Diagnostics,
    ScriptEditor
};
inline constexpr std::size_t kSatelliteDialogCount = 8;

// The windows' forms, shown from the session's records, and which of them the
// command line changed (only those are stored, as only a window that was
// opened and closed with OK stores).
struct SatelliteForms {
    SmartBeaconForm smartBeaconing;
    FrequencyForm frequencies;
    StatusTextForm statusTexts;
    AccessListForm accessList;
    DigipeaterForm digipeater;
    ProfileSwitchForm profileSwitch;
    DiagnosticsForm diagnostics;    // only the receive gain
    ScriptEditorForm scriptEditor;  // only "Enable Script Engine"
    bool changed[kSatelliteDialogCount] = {};
};

// Shows every window's form for the session's current profile.
void showSatelliteForms(const Session& session, SatelliteForms& forms);

// True when the key names one of these windows ("digipeater." ...).
bool isSatelliteKey(std::string_view key);

// Every key of the windows `main` offers, with the value it shows, in the
// windows' order.
std::vector<std::pair<std::string, std::string>> satelliteKeyValues(const TrackerForm& main,
                                                                    const SatelliteForms& forms,
                                                                    const Session& session);

// Applies one value as if typed or clicked in its window. Empty, or why it
// was refused.
std::string applySatelliteKey(const TrackerForm& main, SatelliteForms& forms, const Session& session,
                              std::string_view name, std::string_view value);

// Checks and stores each changed window in the windows' order. 0, or -1
// after the failing value's message.
int storeSatelliteForms(const SatelliteForms& forms, Session& session, UserInterface& ui);

// Every key of these windows (profile-switch keys are those of the profile
// chosen with --profile), with its range and unit.
std::vector<KeyHelp> satelliteKeyHelp();

}  // namespace varnel
