#include "cli/backup_step.h"

#include <iostream>

#include "core/user_interface.h"
#include "link/staged_write.h"
#include "link/tracker_backup.h"

namespace varnel::cli {

void BackupStep::addOption(CLI::App* cmd) {
    cmd->add_flag("--no-backup", skip_,
                  "write without first saving the tracker's settings in " + defaultBackupFolder());
}

bool BackupStep::run(BootLink& link, UserInterface& ui) {
    if (skip_) return true;
    const BackupResult r = backupTracker(link, defaultBackupFolder());
    if (!r.ok()) {
        ui.message(r.error + " Use --no-backup to write without one.");
        return false;
    }
    path_ = r.path;
    return true;
}

void BackupStep::report() const {
    if (!path_.empty()) std::cout << "Backup of the previous settings: " << path_ << '\n';
}

void BackupStep::reportFailedWrite(const BootLink& link, const WriteResult& write, const std::string& port,
                                   UserInterface& ui) const {
    std::string text = writeFailureNote(link, write);
    if (!path_.empty())
        text += "\nThe settings it held before are in " + path_ + "; put them back with: varnelcfg-cli write --port " +
                port + " " + path_;
    ui.message(text);
}

}  // namespace varnel::cli
