#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace varnel {

class UserInterface;
struct Session;

// Reading and editing one profile of a configuration file through the main
// tracker dialog's form, without a device: what `varnelcfg-cli show` and
// `set` do. The chip is taken from the file's device id.
struct TrackerConfigEdit {
    std::string path;
    int profile = 0;      // 0 or 1
    bool metric = true;
};

// Loads a configuration file offline and checks that it is for a known chip
// and holds tracker settings (not a weather station's). False after a message.
bool loadTrackerConfig(const std::string& path, Session& session, UserInterface& ui);

// Prints the profile as the dialog shows it: one key=value per line, or one
// JSON object. 0, or -1 after a message.
int showTrackerConfig(const TrackerConfigEdit& edit, bool json, std::ostream& out, UserInterface& ui);

// Applies KEY=VALUE assignments in order as if typed or clicked, checks and
// stores the profile, and rewrites the file in its own flavour (a file
// without a script part stays without one). Any refusal or failed check
// leaves the file untouched. 0, or -1 after a message.
int setTrackerConfig(const TrackerConfigEdit& edit, const std::vector<std::string>& assignments,
                     UserInterface& ui);

}  // namespace varnel
