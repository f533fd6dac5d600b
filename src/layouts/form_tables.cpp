#include "layouts/form_tables.h"

#include <span>

#include "forms/backups/backups_form.h"
#include "forms/diagnostics/diagnostics_form.h"
#include "forms/satellite/access_list_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "forms/satellite/profile_switch_form.h"
#include "forms/satellite/smart_beacon_form.h"
#include "forms/satellite/status_text_form.h"
#include "forms/script/script_editor_form.h"
#include "forms/tracker/tracker_controls.h"
#include "forms/weather/weather_form.h"

namespace varnel::layouts {

namespace {

template <class Form>
std::vector<TableRow> rows(std::span<const ControlInfo<Form>> table) {
    std::vector<TableRow> out;
    for (const ControlInfo<Form>& info : table)
        out.push_back({info.id, std::string(info.name), info.type, info.typingLimit, std::string(info.accessibleName)});
    return out;
}

template <class Form, std::size_t N>
std::vector<TableRow> rows(const std::array<ControlInfo<Form>, N>& table) {
    return rows(std::span<const ControlInfo<Form>>(table));
}

}  // namespace

std::vector<TableRow> formTableFor(const std::string& dialogName) {
    if (dialogName == "TrackerConfigDialog") return rows(kTrackerControls);
    if (dialogName == "WeatherConfigDialog") return rows(kWeatherControls);
    if (dialogName == "SmartBeaconDialog") return rows(kSmartBeaconControls);
    if (dialogName == "FrequencyDialog") return rows(kFrequencyControls);
    if (dialogName == "StatusTextDialog") return rows(kStatusTextControls);
    if (dialogName == "AccessListDialog") return rows(kAccessListControls);
    if (dialogName == "DigipeaterDialog") return rows(kDigipeaterControls);
    if (dialogName == "ProfileSwitchDialog") return rows(kProfileSwitchControls);
    if (dialogName == "DiagnosticsDialog") return rows(kDiagnosticsControls);
    if (dialogName == "ScriptEditorDialog") return rows(kScriptEditorControls);
    if (dialogName == "BackupsDialog") return rows(kBackupsControls);
    return {};
}

}  // namespace varnel::layouts
