#pragma once

#include <CLI/CLI.hpp>

#include "config/settings_record.h"
#include "session/config_file.h"

namespace varnel::cli {

// Each subcommand lives in its own file and adds itself to the app here. The
// callback it installs sets `status` (0 success, 1 failure).
void addInfoCommand(CLI::App& app, int& status);
void addShowCommand(CLI::App& app, int& status);
void addSetCommand(CLI::App& app, int& status);
void addScriptCommand(CLI::App& app, int& status);
void addDiffCommand(CLI::App& app, int& status);
void addCheckCommand(CLI::App& app, int& status);

// Like diff(1): 0 the same, 1 they differ, 2 the comparison could not be made.
inline constexpr int kDiffTrouble = 2;
// Prints one line per differing setting; 0 or 1 as above.
int printDifferences(Session& before, Session& after, bool metric);

// Device commands: they reach a tracker through its bootloader.
void addFlashCommand(CLI::App& app, int& status);
void addReadCommand(CLI::App& app, int& status);
void addWriteCommand(CLI::App& app, int& status);
void addExportBinCommand(CLI::App& app, int& status);
void addDiagCommand(CLI::App& app, int& status);
void addPortsCommand(CLI::App& app, int& status);
void addBackupsCommand(CLI::App& app, int& status);
// Many trackers at once, one per port: fleet write (and its units file).
void addFleetCommand(CLI::App& app, int& status);
// What stands between this machine and a tracker (0: nothing, 1: something).
void addDoctorCommand(CLI::App& app, int& status);

}  // namespace varnel::cli
