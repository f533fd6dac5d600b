#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace varnel {

class UserInterface;
struct Session;

// Reading and editing one profile of a configuration file through the main
// tracker dialog's form, without a device: what `varnelcfg-cli show` and
// `set` do. The chip is taken from the file's device id. A file whose family
// byte says weather-station firmware goes through that dialog's form instead
// (one record, so only profile 1 and metric units).
struct TrackerConfigEdit {
    std::string path;
    int profile = 0;  // 0 or 1
    bool metric = true;
};

// Loads a configuration file offline as show does: false after a message
// when it cannot be read or names no chip of the target table.
bool loadConfigForKeys(const std::string& path, Session& session, UserInterface& ui);

// Why show would refuse the file (it cannot be read, names no chip of the
// target table, or holds the settings of no firmware a dialog knows), ready
// to show; "" when show takes it. `write` asks before sending a file.
std::string configShowRefusal(const std::string& path);

// What show prints for the session's record: the tracker dialog's keys for
// profile 0 or 1, or (weather-station firmware) the weather dialog's for its
// one record, whatever the profile. The session is left as it was.
std::vector<std::pair<std::string, std::string>> configKeyValues(Session& session, int profile, bool metric);

// Prints the profile as the dialog shows it: one key=value per line, or one
// JSON object. 0, or -1 after a message.
int showTrackerConfig(const TrackerConfigEdit& edit, bool json, std::ostream& out, UserInterface& ui);

// Applies KEY=VALUE assignments in order as if typed or clicked, checks and
// stores the profile, and rewrites the file in its own flavour (a file
// without a script part stays without one). Any refusal or failed check
// leaves the file untouched. 0, or -1 after a message.
int setTrackerConfig(const TrackerConfigEdit& edit, const std::vector<std::string>& assignments, UserInterface& ui);

// What set does to the settings a session holds, without a file: the
// assignments for edit.profile (edit.path only names the settings in
// messages), checked and stored as the windows would. 0, or -1 after the
// first refusal's message (what passed before may be stored).
int applyConfigAssignments(const TrackerConfigEdit& edit, Session& session, const std::vector<std::string>& assignments,
                           UserInterface& ui);

// Lists every key show and set know, one a line with what it takes: the main
// dialog's keys, then those of the windows it opens (`window.field`).
void listConfigKeys(std::ostream& out);

// The keys of one file's chip and firmware only: a weather station's record
// has the weather dialog's keys, a tracker the keys its dialogs offer on its
// chip. 0, or -1 after a message when the file cannot be read.
int listConfigKeysOf(const std::string& path, std::ostream& out, UserInterface& ui);

}  // namespace varnel
