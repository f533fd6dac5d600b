#include "forms/tracker_config_edit.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "config/config_file.h"
#include "core/user_interface.h"
#include "forms/tracker_form.h"
#include "forms/tracker_keys.h"
#include "forms/weather_keys.h"

namespace varnel {
namespace {

bool openConfigFile(const TrackerConfigEdit& edit, Session& session, UserInterface& ui) {
    return loadConfigForKeys(edit.path, session, ui);
}

bool holdsWeatherSettings(const Session& session) { return session.settings.family() == kFamilyWeather; }

// Opens the main dialog's form on the chosen profile. False after a message.
bool openTrackerForm(const TrackerConfigEdit& edit, Session& session, TrackerForm& form, UserInterface& ui) {
    const std::uint8_t family = session.settings.family();
    if (family != kFamilyTracker && family != kFamilyTrackerText) {
        ui.message(edit.path + " does not hold tracker settings (family " + std::to_string(family) + ")");
        return false;
    }
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
    out << '{';
    bool first = true;
    for (const auto& [key, value] : values) {
        out << (first ? "" : ",") << jsonString(key) << ':';
        // The firmware's numbers stay numbers; everything else is the text
        // the dialog shows.
        if (key == "family" || key == "type" || key == "build")
            out << value;
        else
            out << jsonString(value);
        first = false;
    }
    out << "}\n";
    return 0;
}

int setTrackerConfig(const TrackerConfigEdit& edit, const std::vector<std::string>& assignments,
                     UserInterface& ui) {
    Session session;
    if (!openConfigFile(edit, session, ui)) return -1;
    if (holdsWeatherSettings(session)) {
        WeatherForm form;
        if (!openWeatherForm(edit, session, form, ui)) return -1;
        auto apply = [&](std::string_view k, std::string_view v) { return applyWeatherKey(form, k, v); };
        if (!applyAssignments(assignments, apply, ui)) return -1;
        if (storeWeatherRecord(form, session, ui) != 0) return -1;
    } else {
        TrackerForm form;
        if (!openTrackerForm(edit, session, form, ui)) return -1;
        auto apply = [&](std::string_view k, std::string_view v) { return applyTrackerKey(form, k, v); };
        if (!applyAssignments(assignments, apply, ui)) return -1;
        if (checkAndStore(form, session, ui) != 0) return -1;
    }

    // Keep the file's length: one written without the script part (537
    // bytes) is saved without it again.
    std::error_code ec;
    const auto size = std::filesystem::file_size(edit.path, ec);
    const ConfigFlavour flavour =
        (!ec && size < config_file_layout::kFullSize) ? ConfigFlavour::Weather : ConfigFlavour::Tracker;
    return saveConfigFile(edit.path, session, flavour, ui) == 0 ? 0 : -1;
}

}  // namespace varnel
