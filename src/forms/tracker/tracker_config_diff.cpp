#include "forms/tracker/tracker_config_diff.h"

#include <algorithm>
#include <map>
#include <utility>

#include "config/settings_record.h"
#include "forms/tracker/tracker_config_edit.h"
#include "session/session.h"

namespace varnel {

namespace {

constexpr const char* kAbsent = "(none)";

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// The fields every profile's listing starts with: the firmware's and the
// device's, the same for both profiles.
bool isDeviceField(const std::string& key) {
    return key == "family" || key == "type" || key == "build" || key == "deviceId";
}

// The keys of both listings in `before`'s order, then any only `after` has.
void compare(const KeyValues& before, const KeyValues& after, int profile, std::vector<SettingDifference>& out) {
    const std::map<std::string, std::string> afterByKey(after.begin(), after.end());
    const std::map<std::string, std::string> beforeByKey(before.begin(), before.end());
    // Profile 0 takes the device fields, -1 the rest unnumbered.
    auto wanted = [&](const std::string& key) { return isDeviceField(key) == (profile == 0); };
    for (const auto& [key, value] : before) {
        if (!wanted(key)) continue;
        const auto it = afterByKey.find(key);
        const std::string other = it == afterByKey.end() ? kAbsent : it->second;
        if (other != value) out.push_back({profile, key, value, other});
    }
    for (const auto& [key, value] : after)
        if (wanted(key) && !beforeByKey.count(key)) out.push_back({profile, key, kAbsent, value});
}

}  // namespace

std::vector<SettingDifference> diffTrackerSettings(Session& before, Session& after, bool metric) {
    std::vector<SettingDifference> out;
    const KeyValues first = configKeyValues(before, 0, metric);
    const KeyValues second = configKeyValues(after, 0, metric);
    compare(first, second, 0, out);
    // A weather station keeps one record, not two profiles: its keys are
    // the whole device's.
    if (before.settings.family() == kFamilyWeather || after.settings.family() == kFamilyWeather) {
        compare(first, second, -1, out);
    } else {
        compare(first, second, 1, out);
        compare(configKeyValues(before, 1, metric), configKeyValues(after, 1, metric), 2, out);
    }
    // The program has no key of its own; a change to it is one setting.
    if (before.target.hasScript() && after.target.hasScript() && before.script.bytes != after.script.bytes)
        out.push_back({0, "script", {}, {}});
    return out;
}

std::string differenceLine(const SettingDifference& d) {
    const std::string where = d.profile <= 0 ? "" : "profile " + std::to_string(d.profile) + " ";
    if (d.before.empty() && d.after.empty()) return where + d.key + ": differs";
    return where + d.key + ": " + d.before + " -> " + d.after;
}

}  // namespace varnel
