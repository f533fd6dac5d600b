#include "forms/satellite/satellite_keys.h"

#include <cctype>
#include <span>

#include "config/profile_record.h"
#include "forms/common/form_keys.h"

namespace varnel {

namespace {

using K = KeyType;
using D = SatelliteDialog;

namespace sb = smart_beacon_id;
namespace fq = frequency_id;
namespace st = status_text_id;
namespace al = access_list_id;

constexpr const digipeater_id::Row& row(int n) { return digipeater_id::kRows[n - 1]; }

constexpr FormKey kSmartBeaconKeys[] = {
    {"smartBeaconing.lowSpeed", K::Integer, sb::kLowSpeed},
    {"smartBeaconing.highSpeed", K::Integer, sb::kHighSpeed},
    {"smartBeaconing.slowInterval", K::Integer, sb::kSlowInterval},
    {"smartBeaconing.fastInterval", K::Integer, sb::kFastInterval},
    {"smartBeaconing.turnAngle", K::Integer, sb::kTurnAngle},
    {"smartBeaconing.turnInterval", K::Integer, sb::kTurnInterval},
};

constexpr FormKey kFrequencyKeys[] = {
    {"frequencies.channel1", K::Decimal, fq::channel(1)},
    {"frequencies.channel2", K::Decimal, fq::channel(2)},
    {"frequencies.channel3", K::Decimal, fq::channel(3)},
    {"frequencies.channel4", K::Decimal, fq::channel(4)},
    {"frequencies.channel5", K::Decimal, fq::channel(5)},
    {"frequencies.channel6", K::Decimal, fq::channel(6)},
    {"frequencies.channel7", K::Decimal, fq::channel(7)},
    {"frequencies.channel8", K::Decimal, fq::channel(8)},
    {"frequencies.primary", K::Row, fq::kPrimaryBase, fq::kPrimaryBase + fq::kSelectorChoice},
    {"frequencies.secondary", K::Row, fq::kSecondaryBase, fq::kSecondaryBase + fq::kSelectorChoice},
    {"frequencies.secondaryEvery", K::Integer, fq::kEvery},
};

constexpr FormKey kStatusTextKeys[] = {
    {"statusTexts.text1", K::Text, st::text(1)},
    {"statusTexts.text2", K::Text, st::text(2)},
    {"statusTexts.text3", K::Text, st::text(3)},
};

constexpr FormKey kAccessListKeys[] = {
    {"accessList.call1", K::Text, al::entry(1)}, {"accessList.call2", K::Text, al::entry(2)},
    {"accessList.call3", K::Text, al::entry(3)}, {"accessList.call4", K::Text, al::entry(4)},
    {"accessList.call5", K::Text, al::entry(5)}, {"accessList.call6", K::Text, al::entry(6)},
};

constexpr FormKey kDigipeaterKeys[] = {
    {"digipeater.alias1", K::Text, row(1).alias},
    {"digipeater.hops1", K::Integer, row(1).hops},
    {"digipeater.preempt1", K::Check, row(1).preempt},
    {"digipeater.insertCallsign1", K::Check, row(1).insertCallsign},
    {"digipeater.enabled1", K::Check, row(1).enabled},
    {"digipeater.alias2", K::Text, row(2).alias},
    {"digipeater.hops2", K::Integer, row(2).hops},
    {"digipeater.preempt2", K::Check, row(2).preempt},
    {"digipeater.insertCallsign2", K::Check, row(2).insertCallsign},
    {"digipeater.enabled2", K::Check, row(2).enabled},
    {"digipeater.alias3", K::Text, row(3).alias},
    {"digipeater.hops3", K::Integer, row(3).hops},
    {"digipeater.preempt3", K::Check, row(3).preempt},
    {"digipeater.insertCallsign3", K::Check, row(3).insertCallsign},
    {"digipeater.enabled3", K::Check, row(3).enabled},
    {"digipeater.alias4", K::Text, row(4).alias},
    {"digipeater.hops4", K::Integer, row(4).hops},
    {"digipeater.preempt4", K::Check, row(4).preempt},
    {"digipeater.insertCallsign4", K::Check, row(4).insertCallsign},
    {"digipeater.enabled4", K::Check, row(4).enabled},
    {"digipeater.alias5", K::Text, row(5).alias},
    {"digipeater.hops5", K::Integer, row(5).hops},
    {"digipeater.preempt5", K::Check, row(5).preempt},
    {"digipeater.insertCallsign5", K::Check, row(5).insertCallsign},
    {"digipeater.enabled5", K::Check, row(5).enabled},
    {"digipeater.alias6", K::Text, row(6).alias},
    {"digipeater.hops6", K::Integer, row(6).hops},
    {"digipeater.preempt6", K::Check, row(6).preempt},
    {"digipeater.insertCallsign6", K::Check, row(6).insertCallsign},
    {"digipeater.enabled6", K::Check, row(6).enabled},
    {"digipeater.alias7", K::Text, row(7).alias},
    {"digipeater.hops7", K::Integer, row(7).hops},
    {"digipeater.preempt7", K::Check, row(7).preempt},
    {"digipeater.insertCallsign7", K::Check, row(7).insertCallsign},
    {"digipeater.enabled7", K::Check, row(7).enabled},
    {"digipeater.alias8", K::Text, row(8).alias},
    {"digipeater.hops8", K::Integer, row(8).hops},
    {"digipeater.preempt8", K::Check, row(8).preempt},
    {"digipeater.insertCallsign8", K::Check, row(8).insertCallsign},
    {"digipeater.enabled8", K::Check, row(8).enabled},
    {"digipeater.dupeTime", K::Integer, digipeater_id::kDupeTime},
    {"digipeater.digipeating", K::Check, digipeater_id::kDigipeating},
};

constexpr FormKey kDiagnosticsKeys[] = {
    {"diagnostics.receiveGain", K::Row, diagnostics_id::kGain1x, diagnostics_id::kGain16x},
};

constexpr FormKey kScriptEditorKeys[] = {
    {"script.enabled", K::Check, script_editor_id::kEnableScript},
};

// The profile-switching keys stand for the group of the profile the command
// line edits: the left group for profile 1, the right one for profile 2.
constexpr std::array<FormKey, 21> switchKeys(const profile_switch_id::Side& s) {
    return {{
        {"profileSwitch.conditions", K::Choice, s.any, s.all, "any", "all"},
        {"profileSwitch.altitudeEnabled", K::Check, s.altitudeEnabled},
        {"profileSwitch.altitudeCompare", K::Hemisphere, s.altitudeCompare, 0, ">", "<="},
        {"profileSwitch.altitude", K::Integer, s.altitude},
        {"profileSwitch.speedEnabled", K::Check, s.speedEnabled},
        {"profileSwitch.speedCompare", K::Hemisphere, s.speedCompare, 0, ">", "<="},
        {"profileSwitch.speed", K::Integer, s.speed},
        {"profileSwitch.temperatureEnabled", K::Check, s.temperatureEnabled},
        {"profileSwitch.temperatureCompare", K::Hemisphere, s.temperatureCompare, 0, ">", "<="},
        {"profileSwitch.temperature", K::Integer, s.temperature},
        {"profileSwitch.voltageEnabled", K::Check, s.voltageEnabled},
        {"profileSwitch.voltageCompare", K::Hemisphere, s.voltageCompare, 0, ">", "<="},
        {"profileSwitch.voltage", K::Decimal, s.voltage},
        {"profileSwitch.adcEnabled", K::Check, s.adcEnabled},
        {"profileSwitch.adcCompare", K::Hemisphere, s.adcCompare, 0, ">", "<="},
        {"profileSwitch.adc", K::Integer, s.adc},
        {"profileSwitch.jumperEnabled", K::Check, s.jumperEnabled},
        {"profileSwitch.jumper", K::Choice, s.jumperOn, s.jumperOff, "on", "off"},
        {"profileSwitch.gpsFixEnabled", K::Check, s.gpsFixEnabled},
        {"profileSwitch.gpsFix", K::Choice, s.gpsFixValid, s.gpsFixInvalid, "valid", "invalid"},
        {"profileSwitch.transmitOnSwitch", K::Check, s.transmitOnSwitch},
    }};
}
constexpr auto kSwitchKeysProfile1 = switchKeys(profile_switch_id::kLeft);
constexpr auto kSwitchKeysProfile2 = switchKeys(profile_switch_id::kRight);

// What each field takes, by its name without the row number.
struct FieldHelp {
    std::string_view key;
    std::string_view values;
};
constexpr FieldHelp kFieldHelp[] = {
    {"smartBeaconing.lowSpeed", "0 to 293 km/h (0 to 182 MPH with --imperial), at most the high speed"},
    {"smartBeaconing.highSpeed", "0 to 293 km/h (0 to 182 MPH with --imperial)"},
    {"smartBeaconing.slowInterval", "0 to 65535 s, the interval at low speed"},
    {"smartBeaconing.fastInterval", "0 to 65535 s, the interval at high speed (the transmit interval)"},
    {"smartBeaconing.turnAngle", "0 to 180 degrees"},
    {"smartBeaconing.turnInterval", "0 to 255 s between turn beacons"},
    {"frequencies.channel", "MHz, 0 to 4294.967295 (read from its first 8 characters)"},
    {"frequencies.primary", "1 to 8 or Selector"},
    {"frequencies.secondary", "1 to 8 or Selector"},
    {"frequencies.secondaryEvery", "0 to 9 transmissions (only the first digit counts)"},
    {"statusTexts.text", "up to 39 characters (the 40th is dropped)"},
    {"accessList.call", "up to 6 letters or digits, no SSID (stored in upper case)"},
    {"digipeater.alias", "up to 6 letters or digits"},
    {"digipeater.hops", "0 to 9 (empty: 0)"},
    {"digipeater.preempt", "0 or 1"},
    {"digipeater.insertCallsign", "0 or 1"},
    {"digipeater.enabled", "0 or 1, in the chosen profile"},
    {"digipeater.dupeTime", "0 to 255 s, in the chosen profile"},
    {"digipeater.digipeating", "0 or 1, in the chosen profile"},
    {"profileSwitch.conditions", "any or all"},
    {"profileSwitch.altitude", "-10000 to 157744 m (feet with --imperial)"},
    {"profileSwitch.speed", "0 to 294 km/h (0 to 182 MPH with --imperial)"},
    {"profileSwitch.temperature", "degrees C (F with --imperial), about -273 to 227 less the calibration"},
    {"profileSwitch.voltage", "volts, 0 to 255 device units (15.00 V on KX8)"},
    {"profileSwitch.adc", "0 to 255, raw analogue input"},
    {"profileSwitch.jumper", "on or off"},
    {"profileSwitch.gpsFix", "valid or invalid"},
    {"profileSwitch.transmitOnSwitch", "0 or 1"},
    {"diagnostics.receiveGain", "1x, 4x or 16x (JM60), in the chosen profile"},
    {"script.enabled", "0 or 1: Enable Script Engine, in the chosen profile"},
};

// Each window: its keys' prefix, the main dialog's button that opens it, and
// its form seen by the key engine.
struct Window {
    std::string_view prefix;
    D dialog;
    int button;
};
constexpr Window kWindows[] = {
    {"smartBeaconing.", D::SmartBeaconing, tracker_id::kSmartBeaconingButton},
    {"frequencies.", D::Frequencies, tracker_id::kFreqButton},
    {"statusTexts.", D::StatusTexts, tracker_id::kMoreTextsButton},
    {"accessList.", D::AccessList, tracker_id::kAccessListButton},
    {"digipeater.", D::Digipeater, tracker_id::kDigipeaterButton},
    {"profileSwitch.", D::ProfileSwitch, tracker_id::kProfileSwitchButton},
    {"diagnostics.", D::Diagnostics, tracker_id::kDiagnosticsButton},
    {"script.", D::ScriptEditor, tracker_id::kScriptButton},
};

std::span<const FormKey> keysOf(D dialog, int profile) {
    switch (dialog) {
    case D::SmartBeaconing: return kSmartBeaconKeys;
    case D::Frequencies: return kFrequencyKeys;
    case D::StatusTexts: return kStatusTextKeys;
    case D::AccessList: return kAccessListKeys;
    case D::Digipeater: return kDigipeaterKeys;
    case D::ProfileSwitch: return profile == 0 ? std::span<const FormKey>(kSwitchKeysProfile1) : kSwitchKeysProfile2;
    case D::Diagnostics: return kDiagnosticsKeys;
    case D::ScriptEditor: return kScriptEditorKeys;
    }
    return {};
}

// The frequency window also opens on chips without the radio block (the
// firmware's flags decide the button), but only a JL16 keeps frequencies;
// there only the channel choice of the profile is a setting.
class FrequencyKeyedForm : public TableKeyedForm<FrequencyForm> {
public:
    FrequencyKeyedForm(FrequencyForm& form, TargetKind kind) : TableKeyedForm(form, kFrequencyControls), kind_(kind) {}
    bool available(const FormKey& key) const override {
        return kind_ == KindJL16 || key.id < fq::channel(1) || key.id > fq::channel(8);
    }

private:
    TargetKind kind_;
};

// Runs `use` on the window's form as the key engine sees it.
template <class Use>
auto withKeyedForm(SatelliteForms& forms, D dialog, const Session& session, Use use) {
    switch (dialog) {
    case D::SmartBeaconing: {
        TableKeyedForm<SmartBeaconForm> k(forms.smartBeaconing, kSmartBeaconControls, smartBeaconControlChanged);
        return use(k);
    }
    case D::Frequencies: {
        FrequencyKeyedForm k(forms.frequencies, session.target.kind);
        return use(k);
    }
    case D::StatusTexts: {
        TableKeyedForm<StatusTextForm> k(forms.statusTexts, kStatusTextControls);
        return use(k);
    }
    case D::AccessList: {
        TableKeyedForm<AccessListForm> k(forms.accessList, kAccessListControls);
        return use(k);
    }
    case D::Digipeater: {
        TableKeyedForm<DigipeaterForm> k(forms.digipeater, kDigipeaterControls);
        return use(k);
    }
    case D::Diagnostics: {
        TableKeyedForm<DiagnosticsForm> k(forms.diagnostics, kDiagnosticsControls);
        return use(k);
    }
    case D::ScriptEditor: {
        TableKeyedForm<ScriptEditorForm> k(forms.scriptEditor, kScriptEditorControls);
        return use(k);
    }
    case D::ProfileSwitch: break;  // below the switch, so that every path returns
    }
    TableKeyedForm<ProfileSwitchForm> k(forms.profileSwitch, kProfileSwitchControls, profileSwitchControlChanged);
    return use(k);
}

const Window* windowOf(std::string_view key) {
    for (const Window& w : kWindows)
        if (key.substr(0, w.prefix.size()) == w.prefix) return &w;
    return nullptr;
}

bool offered(const TrackerForm& main, const Window& w) { return main.control(w.button)->visible; }

}  // namespace

void showSatelliteForms(const Session& session, SatelliteForms& forms) {
    showSmartBeacon(session, forms.smartBeaconing);
    showFrequencies(session, forms.frequencies);
    showStatusTexts(session, forms.statusTexts);
    showAccessList(session, forms.accessList);
    showDigipeater(session, forms.digipeater);
    showProfileSwitch(session, forms.profileSwitch);
    const ConstProfileRecord profile(session.profile(), session.target.kind);
    showDiagnosticsGain(forms.diagnostics, session.target.kind, gainChoiceFromRadioFlags(profile.radioFlags()));
    forms.scriptEditor.enableScript.checked =
        profile.flag(profile_layout::kFeatureFlags, profile_layout::kFeatureScriptEnabled);
}

bool isSatelliteKey(std::string_view key) { return windowOf(key) != nullptr; }

std::vector<std::pair<std::string, std::string>> satelliteKeyValues(const TrackerForm& main,
                                                                    const SatelliteForms& forms,
                                                                    const Session& session) {
    std::vector<std::pair<std::string, std::string>> out;
    // The key engine reads only; it takes its forms by reference.
    auto& shown = const_cast<SatelliteForms&>(forms);
    for (const Window& w : kWindows) {
        if (!offered(main, w)) continue;
        withKeyedForm(shown, w.dialog, session, [&](KeyedForm& k) {
            for (const FormKey& key : keysOf(w.dialog, session.currentProfile))
                if (k.available(key)) out.emplace_back(std::string(key.key), formKeyValue(k, key));
            return 0;
        });
    }
    return out;
}

std::string applySatelliteKey(const TrackerForm& main, SatelliteForms& forms, const Session& session,
                              std::string_view name, std::string_view value) {
    const Window* w = windowOf(name);
    const FormKey* key = w ? findFormKey(keysOf(w->dialog, session.currentProfile), name) : nullptr;
    if (!key) return "Unknown key: " + std::string(name);
    if (!offered(main, *w)) return std::string(name) + " is not available on this device";
    std::string refusal =
        withKeyedForm(forms, w->dialog, session, [&](KeyedForm& k) { return applyFormKey(k, *key, value); });
    if (refusal.empty()) forms.changed[static_cast<std::size_t>(w->dialog)] = true;
    return refusal;
}

int storeSatelliteForms(const SatelliteForms& forms, Session& session, UserInterface& ui) {
    const auto changed = [&](D d) { return forms.changed[static_cast<std::size_t>(d)]; };
    if (changed(D::SmartBeaconing) && checkAndStoreSmartBeacon(forms.smartBeaconing, session, ui) != 0) return -1;
    if (changed(D::Frequencies) && checkAndStoreFrequencies(forms.frequencies, session, ui) != 0) return -1;
    if (changed(D::StatusTexts)) storeStatusTexts(forms.statusTexts, session);
    if (changed(D::AccessList) && checkAndStoreAccessList(forms.accessList, session, ui) != 0) return -1;
    if (changed(D::Digipeater) && checkAndStoreDigipeater(forms.digipeater, session, ui) != 0) return -1;
    if (changed(D::ProfileSwitch) && checkAndStoreProfileSwitch(forms.profileSwitch, session, ui) != 0) return -1;
    const ProfileRecord profile(session.profile(), session.target.kind);
    // Elsewhere the window shows no gain and hands back the one it was given.
    if (changed(D::Diagnostics) && showsReceiveLevel(session.target.kind))
        profile.setRadioFlags(radioFlagsWithGain(profile.radioFlags(), diagnosticsGainChoice(forms.diagnostics)));
    if (changed(D::ScriptEditor))
        profile.setFlag(profile_layout::kFeatureFlags, profile_layout::kFeatureScriptEnabled,
                        forms.scriptEditor.enableScript.checked);
    return 0;
}

std::vector<KeyHelp> satelliteKeyHelp() {
    std::vector<KeyHelp> out;
    for (const Window& w : kWindows)
        for (const FormKey& key : keysOf(w.dialog, 0)) {
            std::string_view field = key.key;
            while (!field.empty() && std::isdigit(static_cast<unsigned char>(field.back()))) field.remove_suffix(1);
            std::string_view values;
            for (const FieldHelp& h : kFieldHelp)
                if (h.key == field) values = h.values;
            if (key.type == K::Hemisphere) values = "> or <=";
            else if (values.empty() && key.type == K::Check) values = "0 or 1";
            out.push_back({std::string(key.key), std::string(values)});
        }
    return out;
}

}  // namespace varnel
