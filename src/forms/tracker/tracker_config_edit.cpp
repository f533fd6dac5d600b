#include "forms/tracker/tracker_config_edit.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

#include "core/user_interface.h"
#include "forms/satellite/satellite_keys.h"
#include "forms/tracker/tracker_controls.h"
#include "forms/tracker/tracker_form.h"
#include "forms/tracker/tracker_keys.h"
#include "forms/weather/weather_keys.h"
#include "session/config_file.h"

namespace varnel {
namespace {

bool openConfigFile(const TrackerConfigEdit& edit, Session& session, UserInterface& ui) {
    return loadConfigForKeys(edit.path, session, ui);
}

bool holdsWeatherSettings(const Session& session) { return session.settings.family() == kFamilyWeather; }

// False after a message when the family is not a tracker's.
bool holdsTrackerSettings(const std::string& path, const Session& session, UserInterface& ui) {
    const std::uint8_t family = session.settings.family();
    if (family == kFamilyTracker || family == kFamilyTrackerText) return true;
    ui.message(path + " does not hold tracker settings (family " + std::to_string(family) + ": " +
               familyDescription(family) + ")");
    return false;
}

// Opens the main dialog's form on the chosen profile. False after a message.
bool openTrackerForm(const TrackerConfigEdit& edit, Session& session, TrackerForm& form, UserInterface& ui) {
    if (!holdsTrackerSettings(edit.path, session, ui)) return false;
    session.metric = edit.metric;
    startTrackerForm(form, session, edit.profile);
    return true;
}

// Opens the weather-station dialog's form: one record, always in Celsius.
// False after a message when the options ask for what it does not have.
bool openWeatherForm(const TrackerConfigEdit& edit, Session& session, WeatherForm& form, UserInterface& ui) {
    if (edit.profile != 0 || !edit.metric) {
        ui.message(edit.path + " holds weather-station settings: one record in metric units, so --profile 2 "
                               "and --imperial do not apply");
        return false;
    }
    startWeatherForm(form, session);
    return true;
}

// Applies KEY=VALUE assignments in order through `apply`. False after the
// first refusal's message.
template <class Apply>
bool applyAssignments(const std::vector<std::string>& assignments, Apply apply, UserInterface& ui) {
    for (const std::string& assignment : assignments) {
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0) {
            ui.message("Expected KEY=VALUE, got \"" + assignment + "\"");
            return false;
        }
        const std::string refusal =
            apply(std::string_view(assignment).substr(0, eq), std::string_view(assignment).substr(eq + 1));
        if (!refusal.empty()) {
            ui.message(refusal);
            return false;
        }
    }
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

bool loadConfigForKeys(const std::string& path, Session& session, UserInterface& ui) {
    if (loadConfigFileOffline(path, session, ui) != 0) return false;
    if (session.target.kind == KindNone) {
        ui.message("Unknown device \"" + session.link.deviceInfo.deviceId + "\" in " + path);
        return false;
    }
    return true;
}

std::string configShowRefusal(const std::string& path) {
    class FirstMessage : public UserInterface {
    public:
        std::string text;
        void message(const std::string& t, MessageKind) override {
            if (text.empty()) text = t;
        }
        bool askYesNo(const std::string&) override { return false; }
    } ui;
    auto session = std::make_unique<Session>();
    if (loadConfigForKeys(path, *session, ui) && !holdsWeatherSettings(*session))
        holdsTrackerSettings(path, *session, ui);
    return ui.text;
}

std::vector<std::pair<std::string, std::string>> configKeyValues(Session& session, int profile, bool metric) {
    const int keptProfile = session.currentProfile;
    const bool keptMetric = session.metric;
    std::vector<std::pair<std::string, std::string>> values;
    if (holdsWeatherSettings(session)) {
        WeatherForm form;
        startWeatherForm(form, session);
        values = weatherKeyValues(form, session);
    } else {
        session.metric = metric;
        TrackerForm form;
        startTrackerForm(form, session, profile);
        values = trackerKeyValues(form, session);
    }
    session.currentProfile = keptProfile;
    session.metric = keptMetric;
    return values;
}

namespace {

void printKeyHelp(const std::vector<KeyHelp>& keys, std::ostream& out) {
    std::size_t width = 0;
    for (const KeyHelp& k : keys) width = std::max(width, k.key.size());
    for (const KeyHelp& k : keys) out << k.key << std::string(width + 2 - k.key.size(), ' ') << k.values << '\n';
}

// The ranges the main dialog checks and the units its labels show, for the
// keys where a bare "whole number" would leave the user guessing.
struct MainFieldHelp {
    std::string_view key;
    std::string_view values;
};
constexpr MainFieldHelp kMainFieldHelp[] = {
    {"carrierMultiplier", "whole number, the carrier is this x 31.25 Hz (family 2 firmware)"},
    {"tempCalibration", "-128 to 127 degrees C (in F with --imperial)"},
    {"quietTime", "0 to 255, how long the channel must be quiet before transmitting; 0 disables carrier detect"},
    {"statusEvery", "1 to 15 transmissions"},
    {"beaconInterval", "0 to 65535 s"},
    {"skipCount", "0 to 255 transmissions skipped after hearing our own packet digipeated"},
    {"timeslot", "0 to 3600 s from the start of the hour (fractions are dropped)"},
    {"counterRearm", "0 to 255 ms"},
    {"waypointRange", "0 to 410 km (0 to 255 miles with --imperial)"},
    {"powerOnDelay", "0 to 255 s"},
    {"telemetryEvery", "0 to 15 transmissions"},
    {"txDelay", "0 to 1683 ms (0 to 255 bytes on family 2 firmware)"},
    {"lowVoltage", "volts, up to 255 device units (15.00 V on KX8, about 18.50 V on JL16, 20.00 V on the others)"},
};

std::vector<KeyHelp> trackerKeyHelp() {
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
        for (const MainFieldHelp& h : kMainFieldHelp)
            if (h.key == key.key) values = h.values;
        keys.push_back({std::string(key.key), values});
    }
    for (KeyHelp& help : satelliteKeyHelp()) keys.push_back(std::move(help));
    return keys;
}

}  // namespace

void listConfigKeys(std::ostream& out) { printKeyHelp(trackerKeyHelp(), out); }

int listConfigKeysOf(const std::string& path, std::ostream& out, UserInterface& ui) {
    Session session;
    if (!loadConfigForKeys(path, session, ui)) return -1;
    if (holdsWeatherSettings(session)) {
        printKeyHelp(weatherKeyHelp(), out);
        return 0;
    }
    // The keys show prints for this chip and firmware, either profile.
    std::vector<std::string> shown;
    for (int profile : {0, 1})
        for (const auto& [key, value] : configKeyValues(session, profile, true)) shown.push_back(key);
    std::vector<KeyHelp> keys;
    for (KeyHelp& help : trackerKeyHelp())
        if (std::find(shown.begin(), shown.end(), help.key) != shown.end()) keys.push_back(std::move(help));
    printKeyHelp(keys, out);
    return 0;
}

int showTrackerConfig(const TrackerConfigEdit& edit, bool json, std::ostream& out, UserInterface& ui) {
    Session session;
    if (!openConfigFile(edit, session, ui)) return -1;
    std::vector<std::pair<std::string, std::string>> values;
    if (holdsWeatherSettings(session)) {
        WeatherForm form;
        if (!openWeatherForm(edit, session, form, ui)) return -1;
        values = weatherKeyValues(form, session);
    } else {
        TrackerForm form;
        if (!openTrackerForm(edit, session, form, ui)) return -1;
        values = trackerKeyValues(form, session);
    }
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
        if (key == "family" || key == "type" || key == "build") out << value;
        else out << jsonString(value);
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

int applyConfigAssignments(const TrackerConfigEdit& edit, Session& session, const std::vector<std::string>& assignments,
                           UserInterface& ui) {
    if (holdsWeatherSettings(session)) {
        WeatherForm form;
        if (!openWeatherForm(edit, session, form, ui)) return -1;
        auto apply = [&](std::string_view k, std::string_view v) { return applyWeatherKey(form, k, v); };
        if (!applyAssignments(assignments, apply, ui)) return -1;
        return storeWeatherRecord(form, session, ui) == 0 ? 0 : -1;
    }
    TrackerForm form;
    if (!openTrackerForm(edit, session, form, ui)) return -1;
    // The main dialog's values first; its windows then open on what it
    // stored, as they would on the screen, and store only when changed.
    std::vector<std::string> page, windowAssignments;
    for (const std::string& a : assignments)
        (isSatelliteKey(std::string_view(a).substr(0, a.find('='))) ? windowAssignments : page).push_back(a);
    auto apply = [&](std::string_view k, std::string_view v) { return applyTrackerKey(form, k, v); };
    if (!applyAssignments(page, apply, ui)) return -1;
    if (checkAndStore(form, session, ui) != 0) return -1;

    SatelliteForms windows;
    showSatelliteForms(session, windows);
    auto applyWindow = [&](std::string_view k, std::string_view v) {
        return applySatelliteKey(form, windows, session, k, v);
    };
    if (!applyAssignments(windowAssignments, applyWindow, ui)) return -1;
    return storeSatelliteForms(windows, session, ui) == 0 ? 0 : -1;
}

int setTrackerConfig(const TrackerConfigEdit& edit, const std::vector<std::string>& assignments, UserInterface& ui) {
    Session session;
    if (!openConfigFile(edit, session, ui)) return -1;
    const bool weather = holdsWeatherSettings(session);
    if (applyConfigAssignments(edit, session, assignments, ui) != 0) return -1;

    // Keep the file's flavour: one written without the script part (537
    // bytes) is saved without it again. A JL16 tracker file always gets its
    // radio block, so frequencies and status texts set here are not lost.
    std::error_code ec;
    const auto size = std::filesystem::file_size(edit.path, ec);
    const bool keepsRadio = !weather && session.target.kind == KindJL16;
    const ConfigFlavour flavour =
        (!ec && size < config_file_layout::kFullSize && !keepsRadio) ? ConfigFlavour::Weather : ConfigFlavour::Tracker;
    return saveConfigFile(edit.path, session, flavour, ui) == 0 ? 0 : -1;
}

}  // namespace varnel
