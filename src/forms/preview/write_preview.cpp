#include "forms/preview/write_preview.h"

#include <algorithm>
#include <utility>

#include "config/settings_record.h"
#include "forms/tracker/tracker_config_diff.h"
#include "session/session.h"

namespace varnel {

namespace {

// The windows' keys are "window.field"; the preview names each window as
// its title bar does.
struct WindowTitle {
    const char* prefix;
    const char* title;
};
constexpr WindowTitle kWindowTitles[] = {
    {"smartBeaconing", "SmartBeaconing"},  {"frequencies", "Transmit frequencies"},
    {"statusTexts", "Status texts"},       {"accessList", "Access list"},
    {"digipeater", "Digipeater"},          {"profileSwitch", "Profile switching"},
    {"diagnostics", "Adjust/Diagnostics"}, {"script", "Script editor"},
};

std::string windowTitle(const std::string& prefix) {
    for (const WindowTitle& w : kWindowTitles)
        if (prefix == w.prefix) return w.title;
    return prefix;
}

std::string profileTitle(int profile) { return "Profile " + std::to_string(profile); }

// The group a difference belongs to and its line there.
std::pair<std::string, std::string> placeOf(const SettingDifference& d, bool weather, bool bothProfiles) {
    const std::string change = d.before.empty() && d.after.empty() ? "differs" : d.before + " -> " + d.after;
    if (d.key == "script") return {"Script", "the program " + change};
    const std::size_t dot = d.key.find('.');
    const std::string field = dot == std::string::npos ? d.key : d.key.substr(dot + 1);
    std::string owner = weather          ? "Weather station"
                        : d.profile <= 0 ? "Tracker"
                        : bothProfiles   ? "Profiles 1 and 2"
                                         : profileTitle(d.profile);
    if (dot != std::string::npos) owner += ": " + windowTitle(d.key.substr(0, dot));
    return {owner, field + ": " + change};
}

void add(std::vector<PreviewGroup>& groups, const std::string& title, const std::string& line) {
    auto it = std::find_if(groups.begin(), groups.end(), [&](const PreviewGroup& g) { return g.title == title; });
    if (it == groups.end()) it = groups.insert(groups.end(), PreviewGroup{title, {}});
    it->lines.push_back(line);
}

// Runs [first, last) of the bytes that differ between two records.
template <std::size_t N>
std::vector<std::pair<std::size_t, std::size_t>> differingRuns(const std::array<std::uint8_t, N>& a,
                                                               const std::array<std::uint8_t, N>& b) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < N; ++i) {
        if (a[i] == b[i]) continue;
        if (!runs.empty() && runs.back().second == i) runs.back().second = i + 1;
        else runs.push_back({i, i + 1});
    }
    return runs;
}

std::string byteRange(const char* area, std::pair<std::size_t, std::size_t> run) {
    const std::string first = std::to_string(run.first);
    if (run.second - run.first == 1) return std::string(area) + " byte " + first + ": differs";
    return std::string(area) + " bytes " + first + " to " + std::to_string(run.second - 1) + ": differ";
}

// Bytes of the settings and radio records that differ where no key shows
// a change: each run is tried alone on `current`'s records (in `planned`,
// whose records are put back after).
std::vector<std::string> unshownBytes(Session& current, Session& planned) {
    std::vector<std::string> out;
    const RecordsSnapshot kept = planned.snapshot();
    const RecordsSnapshot mine = current.snapshot();
    const auto tryRuns = [&](const char* area, auto member) {
        const auto& theirs = (kept.*member).bytes;
        for (const auto& run : differingRuns((mine.*member).bytes, theirs)) {
            RecordsSnapshot probe = mine;
            std::copy(theirs.begin() + run.first, theirs.begin() + run.second,
                      (probe.*member).bytes.begin() + run.first);
            planned.restore(probe);
            if (diffTrackerSettings(current, planned, true).empty()) out.push_back(byteRange(area, run));
        }
    };
    tryRuns("settings", &RecordsSnapshot::settings);
    if (current.target.kind == KindJL16) tryRuns("radio block", &RecordsSnapshot::radio);
    planned.restore(kept);
    return out;
}

}  // namespace

WritePreview previewWrite(Session& current, Session& planned) {
    WritePreview preview;
    const bool weather = planned.settings.family() == kFamilyWeather;
    const std::vector<SettingDifference> differences = diffTrackerSettings(current, planned, true);
    // What both profiles share (the digipeater's aliases, the access list,
    // the frequencies) shows in each profile's listing: once is enough.
    const auto inOther = [&](const SettingDifference& d) {
        return std::find_if(differences.begin(), differences.end(), [&](const SettingDifference& e) {
                   return e.profile == 3 - d.profile && e.key == d.key && e.before == d.before && e.after == d.after;
               }) != differences.end();
    };
    for (const SettingDifference& d : differences) {
        const bool both = d.profile > 0 && d.key.find('.') != std::string::npos && inOther(d);
        if (both && d.profile == 2) continue;
        const auto [title, line] = placeOf(d, weather, both);
        add(preview.groups, title, line);
    }
    for (const std::string& line : unshownBytes(current, planned))
        add(preview.groups, "Stored bytes no window shows", line);
    preview.warnings = checkNetworkRules(planned);
    return preview;
}

std::vector<std::string> previewLines(const WritePreview& preview) {
    std::vector<std::string> out;
    for (const PreviewGroup& g : preview.groups) {
        out.push_back(g.title);
        for (const std::string& line : g.lines) out.push_back("  " + line);
    }
    if (preview.groups.empty()) out.push_back(kNothingDiffers);
    if (!preview.warnings.empty()) {
        out.push_back("Warnings");
        for (const NetworkWarning& w : preview.warnings) out.push_back("  " + warningLine(w));
    }
    return out;
}

}  // namespace varnel
