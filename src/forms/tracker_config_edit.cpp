#include "forms/tracker_config_edit.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "config/config_file.h"
#include "core/user_interface.h"
#include "forms/satellite_keys.h"
#include "forms/tracker_controls.h"
#include "forms/tracker_form.h"
#include "forms/tracker_keys.h"

namespace varnel {
namespace {

// Loads the file as the offline editor does and opens the main dialog's form
// on the chosen profile. False after a message.
bool openTrackerForm(const TrackerConfigEdit& edit, Session& session, TrackerForm& form, UserInterface& ui) {
    if (loadConfigFileOffline(edit.path, session, ui) != 0) return false;
    if (session.target.kind == KindNone) {
        ui.message("Unknown device \"" + session.link.deviceInfo.deviceId + "\" in " + edit.path);
        return false;
    }
    const std::uint8_t family = session.settings.family();
    if (family != kFamilyTracker && family != kFamilyTrackerText) {
        ui.message(edit.path + " does not hold tracker settings (family " + std::to_string(family) + ")");
        return false;
    }
    session.metric = edit.metric;
    startTrackerForm(form, session, edit.profile);
    return true;
}

// JSON string with every byte that is not printable ASCII escaped; the
// tracker's texts are 8-bit, so high bytes are taken as Latin-1.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

void listConfigKeys(std::ostream& out) {
    std::vector<KeyHelp> keys;
    for (const TrackerKey& key : kTrackerKeys) {
        const int limit = findTrackerControl(key.id)->typingLimit;
        const std::string upTo = limit > 0 ? ", up to " + std::to_string(limit) + " characters" : "";
        std::string values;
        switch (key.type) {
        case KeyType::Text: values = "text" + upTo; break;
        case KeyType::Integer: values = "whole number" + upTo; break;
        case KeyType::Decimal: values = "number" + upTo; break;
        case KeyType::Check: values = "0 or 1"; break;
        case KeyType::Choice:
        case KeyType::Hemisphere: values = std::string(key.first) + " or " + std::string(key.second); break;
        case KeyType::List: values = "one of the list's entries, as show prints them"; break;
        case KeyType::Slider: values = "0 to 255"; break;
        case KeyType::Row: break;
        }
        keys.push_back({std::string(key.key), values});
    }
    for (KeyHelp& help : satelliteKeyHelp()) keys.push_back(std::move(help));
    std::size_t width = 0;
    for (const KeyHelp& k : keys) width = std::max(width, k.key.size());
    for (const KeyHelp& k : keys) out << k.key << std::string(width + 2 - k.key.size(), ' ') << k.values << '\n';
}

int showTrackerConfig(const TrackerConfigEdit& edit, bool json, std::ostream& out, UserInterface& ui) {
    Session session;
    TrackerForm form;
    if (!openTrackerForm(edit, session, form, ui)) return -1;
    const auto values = trackerKeyValues(form, session);
    if (!json) {
        for (const auto& [key, value] : values) out << key << '=' << value << '\n';
        return 0;
    }
    // The windows' keys (`window.field`) nest in one object per window; a
    // main-dialog key that names a window as a whole (the SmartBeaconing
    // box) is that object's "enabled".
    std::vector<std::string> windows;
    for (const auto& [key, value] : values)
        if (const auto dot = key.find('.'); dot != std::string::npos) {
            const std::string window = key.substr(0, dot);
            if (windows.empty() || windows.back() != window) windows.push_back(window);
        }
    const auto isWindow = [&](const std::string& name) {
        return std::find(windows.begin(), windows.end(), name) != windows.end();
    };
    const auto member = [&](const std::string& key, const std::string& value, bool first) {
        out << (first ? "" : ",") << jsonString(key) << ':';
        // The firmware's numbers stay numbers; everything else is the text
        // the dialog shows.
        if (key == "family" || key == "type" || key == "build")
            out << value;
        else
            out << jsonString(value);
    };
    out << '{';
    bool first = true;
    for (const auto& [key, value] : values) {
        if (key.find('.') != std::string::npos || isWindow(key)) continue;
        member(key, value, first);
        first = false;
    }
    for (const std::string& window : windows) {
        out << (first ? "" : ",") << jsonString(window) << ":{";
        bool firstMember = true;
        for (const auto& [key, value] : values) {
            if (key == window) {
                member("enabled", value, firstMember);
            } else if (key.size() > window.size() && key.compare(0, window.size() + 1, window + ".") == 0) {
                member(key.substr(window.size() + 1), value, firstMember);
            } else {
                continue;
            }
            firstMember = false;
        }
        out << '}';
        first = false;
    }
    out << "}\n";
    return 0;
}

int setTrackerConfig(const TrackerConfigEdit& edit, const std::vector<std::string>& assignments,
                     UserInterface& ui) {
    Session session;
    TrackerForm form;
    if (!openTrackerForm(edit, session, form, ui)) return -1;

    // The main dialog's values first; the windows then open on what it
    // stored, as they would on the screen, and store only when changed.
    std::vector<std::pair<std::string_view, std::string_view>> satellite;
    for (const std::string& assignment : assignments) {
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0) {
            ui.message("Expected KEY=VALUE, got \"" + assignment + "\"");
            return -1;
        }
        const std::string_view key = std::string_view(assignment).substr(0, eq);
        const std::string_view value = std::string_view(assignment).substr(eq + 1);
        if (isSatelliteKey(key)) {
            satellite.emplace_back(key, value);
            continue;
        }
        const std::string refusal = applyTrackerKey(form, key, value);
        if (!refusal.empty()) {
            ui.message(refusal);
            return -1;
        }
    }
    if (checkAndStore(form, session, ui) != 0) return -1;

    SatelliteForms windows;
    showSatelliteForms(session, windows);
    for (const auto& [key, value] : satellite) {
        const std::string refusal = applySatelliteKey(form, windows, session, key, value);
        if (!refusal.empty()) {
            ui.message(refusal);
            return -1;
        }
    }
    if (storeSatelliteForms(windows, session, ui) != 0) return -1;

    // Keep the file's flavour: one written without the script part (537
    // bytes) is saved without it again. A JL16 file always gets its radio
    // block, so frequencies and status texts set here are not lost.
    std::error_code ec;
    const auto size = std::filesystem::file_size(edit.path, ec);
    const ConfigFlavour flavour =
        (!ec && size < config_file_layout::kFullSize && session.target.kind != KindJL16) ? ConfigFlavour::Weather
                                                                                         : ConfigFlavour::Tracker;
    return saveConfigFile(edit.path, session, flavour, ui) == 0 ? 0 : -1;
}

}  // namespace varnel
