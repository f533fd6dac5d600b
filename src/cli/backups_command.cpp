#include <iostream>

#include "cli/commands.h"
#include "link/tracker_backup.h"

namespace varnel::cli {

void addBackupsCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("backups", "List the settings saved before each write to a tracker, newest first");
    cmd->callback([&status] {
        const std::string folder = defaultBackupFolder();
        const auto paths = listBackups(folder);
        if (paths.empty()) std::cerr << "No backups in " << folder << '\n';
        for (const auto& p : paths) std::cout << p << '\n';
        status = 0;
    });
}

}  // namespace varnel::cli
