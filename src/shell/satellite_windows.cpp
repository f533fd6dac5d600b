#include "shell/satellite_windows.h"

#include <array>

namespace varnel {

namespace {

// One column of the digipeater window's rows of ids.
constexpr std::array<int, 8> digipeaterColumn(int digipeater_id::Row::*field) {
    std::array<int, 8> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = digipeater_id::kRows[i].*field;
    return ids;
}
constexpr auto kAliasEdits = digipeaterColumn(&digipeater_id::Row::alias);
constexpr auto kHopEdits = digipeaterColumn(&digipeater_id::Row::hops);

}  // namespace

const SatelliteWindow<SmartBeaconForm> kSmartBeaconWindow{
    kSmartBeaconControls, smartBeaconControlChanged, showSmartBeacon, checkAndStoreSmartBeacon, {}, {}};

const SatelliteWindow<FrequencyForm> kFrequencyWindow{kFrequencyControls,       nullptr, showFrequencies,
                                                      checkAndStoreFrequencies, {},      {}};

// Any text is a status text: OK always stores.
const SatelliteWindow<StatusTextForm> kStatusTextWindow{
    kStatusTextControls,
    nullptr,
    showStatusTexts,
    [](const StatusTextForm& form, Session& session, UserInterface&) {
        storeStatusTexts(form, session);
        return 0;
    },
    {},
    {}};

const SatelliteWindow<AccessListForm> kAccessListWindow{
    kAccessListControls, nullptr, showAccessList, checkAndStoreAccessList, access_list_id::kEntries, {}};

const SatelliteWindow<DigipeaterForm> kDigipeaterWindow{kDigipeaterControls,     nullptr,     showDigipeater,
                                                        checkAndStoreDigipeater, kAliasEdits, kHopEdits};

const SatelliteWindow<ProfileSwitchForm> kProfileSwitchWindow{
    kProfileSwitchControls, profileSwitchControlChanged, showProfileSwitch, checkAndStoreProfileSwitch, {}, {}};

}  // namespace varnel
