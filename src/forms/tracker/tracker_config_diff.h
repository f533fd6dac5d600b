#pragma once

#include <string>
#include <vector>

namespace varnel {

struct Session;

// One setting that differs between two configurations, named as `show` and
// `set` name it. Profile 1 or 2; 0 or less for what the whole device shares
// (its fields, a weather station's one record, the script).
struct SettingDifference {
    int profile = 0;
    std::string key;
    std::string before;
    std::string after;
};

// Every key of both profiles (a weather station's one record) whose shown
// value differs from `before` to `after`, profile 1 first, in the order
// `show` prints them; the device
// fields once; then the script, when its bytes differ (both values empty). A key one side does
// not offer (another chip) shows as "(none)" there.
std::vector<SettingDifference> diffTrackerSettings(Session& before, Session& after, bool metric);

// "profile 1 callsign: W1AW -> N0CALL", "deviceId: AP64 -> JM60", or
// "script: differs".
std::string differenceLine(const SettingDifference& d);

}  // namespace varnel
