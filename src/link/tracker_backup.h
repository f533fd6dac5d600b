#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "session/config_file.h"
#include "session/session.h"

namespace varnel {

class BootLink;

// Before anything is written to a tracker, the settings and script it holds
// are read back and kept as a configuration file, so a write that goes wrong
// (or settings the user regrets) can be put back with an ordinary write.
inline constexpr std::size_t kBackupsKept = 50;

// $XDG_DATA_HOME/varnelcfg/backups, or ~/.local/share/varnelcfg/backups when
// XDG_DATA_HOME is unset (on Windows %LOCALAPPDATA%\varnelcfg\backups); both
// programs keep their backups there.
std::string defaultBackupFolder();

// "AP64_2026-12-08_121530.cfg": the chip, then the local date and time.
std::string backupFileName(const std::string& chipName, std::time_t when);

// The backup files in the folder (full paths), newest first. None when the
// folder does not exist.
std::vector<std::string> listBackups(const std::string& folder);

struct BackupResult {
    std::string path;   // the file written, when it worked
    std::string error;  // why not, ready to show; empty when it worked
    // What the file holds, as read, so it can be written back without
    // reading the file again or touching the session's working records.
    RecordsSnapshot records;
    ConfigFlavour flavour = ConfigFlavour::Tracker;
    bool ok() const { return error.empty(); }
};

// Reads the connected tracker's settings area and script area (the session's
// working records and flash image are left alone) and saves them in the
// folder, created if missing; then keeps only the newest kBackupsKept.
BackupResult backupTracker(BootLink& link, const std::string& folder);

}  // namespace varnel
