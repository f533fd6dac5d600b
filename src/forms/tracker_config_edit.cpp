#include "forms/tracker_config_edit.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "config/config_file.h"
#include "core/user_interface.h"
#include "forms/tracker_form.h"
#include "forms/tracker_keys.h"

namespace varnel {
namespace {

// Loads the file as the offline editor does and opens the main dialog's form
// on the chosen profile. False after a message.
bool openTrackerForm(const TrackerConfigEdit& edit, Session& session, TrackerForm& form, UserInterface& ui) {
    if (!loadTrackerConfig(edit.path, session, ui)) return false;
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

bool loadTrackerConfig(const std::string& path, Session& session, UserInterface& ui) {
    if (loadConfigFileOffline(path, session, ui) != 0) return false;
    if (session.target.kind == KindNone) {
        ui.message("Unknown device \"" + session.link.deviceInfo.deviceId + "\" in " + path);
        return false;
    }
    const std::uint8_t family = session.settings.family();
    if (family != kFamilyTracker && family != kFamilyTrackerText) {
        ui.message(path + " does not hold tracker settings (family " + std::to_string(family) + ")");
        return false;
    }
    return true;
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
    TrackerForm form;
    if (!openTrackerForm(edit, session, form, ui)) return -1;

    for (const std::string& assignment : assignments) {
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos || eq == 0) {
            ui.message("Expected KEY=VALUE, got \"" + assignment + "\"");
            return -1;
        }
        const std::string refusal = applyTrackerKey(form, std::string_view(assignment).substr(0, eq),
                                                    std::string_view(assignment).substr(eq + 1));
        if (!refusal.empty()) {
            ui.message(refusal);
            return -1;
        }
    }
    if (checkAndStore(form, session, ui) != 0) return -1;

    // Keep the file's length: one written without the script part (537
    // bytes) is saved without it again.
    std::error_code ec;
    const auto size = std::filesystem::file_size(edit.path, ec);
    const ConfigFlavour flavour =
        (!ec && size < config_file_layout::kFullSize) ? ConfigFlavour::Weather : ConfigFlavour::Tracker;
    return saveConfigFile(edit.path, session, flavour, ui) == 0 ? 0 : -1;
}

}  // namespace varnel
