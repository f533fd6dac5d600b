#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/backup_step.h"
#include "cli/commands.h"
#include "cli/device_connection.h"
#include "cli/stderr_ui.h"
#include "cli/terminal_progress.h"
#include "cli/write_steps.h"
#include "forms/preview/write_preview.h"
#include "forms/tracker/tracker_config_edit.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"
#include "session/config_file.h"

namespace varnel::cli {

namespace {

struct WriteArgs {
    DeviceOptions device;
    bool force = false;
    bool dryRun = false;
    std::string file;
    BackupStep backup;
};

// What the write will change, from the tracker's settings to the file's as
// they will go in (the tracker's firmware header kept), with the network's
// warnings: printed before a write, and all a dry run does. 0 nothing
// differs, 1 something does, kDiffTrouble when the file cannot be read.
int printPreview(const WriteArgs& args, Session& tracker, ConfigFlavour flavour, UserInterface& ui) {
    auto planned = std::make_unique<Session>();
    planned->target = tracker.target;
    planned->link.deviceInfo = tracker.link.deviceInfo;
    planned->link.chipName = tracker.link.chipName;
    planned->restore(tracker.snapshot());
    if (loadConfigFile(args.file, *planned, flavour, ui) != 0) return kDiffTrouble;
    const WritePreview preview = previewWrite(tracker, *planned);
    for (const std::string& line : previewLines(preview)) std::cout << line << '\n';
    std::cout.flush();
    return preview.groups.empty() ? 0 : 1;
}

int runWrite(WriteArgs& args) {
    // A dry run answers like diff: 1 means "would change", so trouble is 2.
    const int trouble = args.dryRun ? kDiffTrouble : 1;
    if (!args.force) {
        // What show cannot make sense of is not sent to a tracker unasked.
        if (const std::string refusal = configShowRefusal(args.file); !refusal.empty()) {
            StderrUi ui;
            ui.message(refusal + "; use --force to write it anyway");
            return trouble;
        }
    }
    Session session;
    DeviceConnection conn(session, args.device);
    if (!conn.connect() || !conn.requireKnownTarget()) return trouble;
    UserInterface& ui = conn.ui();
    if (readDeviceConfiguration(conn.link(), session) != 0) return trouble;

    const std::string chip = configFileChip(args.file);
    if (!chip.empty() && chip != session.link.chipName && !args.force) {
        ui.message("The configuration file is for " + chip + " but the tracker is " + session.link.chipName +
                   "; use --force to write it anyway");
        return trouble;
    }
    const ConfigFlavour flavour = configFlavourFor(session.settings);
    const int previewed = printPreview(args, session, flavour, ui);
    if (args.dryRun || previewed == kDiffTrouble) return previewed;
    if (loadConfigFile(args.file, session, flavour, ui) != 0) return 1;

    packForWrite(session, flavour);
    if (!args.backup.run(conn.link(), ui)) return 1;
    WriteResult result;
    {
        TerminalProgress progress;
        result = writeImage(conn.link(), progress);
    }
    if (result.status != 0) {
        args.backup.reportFailedWrite(conn.link(), result, args.device.port, ui);
        return 1;
    }
    args.backup.report();
    return 0;
}

}  // namespace

void addWriteCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("write", "Write a .cfg configuration file into a tracker");
    auto args = std::make_shared<WriteArgs>();
    addDeviceOptions(cmd, args->device);
    cmd->add_flag("--force", args->force,
                  "write a file made for another chip, or whose settings show cannot make sense of");
    args->backup.addOption(cmd);
    cmd->add_flag("--dry-run", args->dryRun,
                  "print what the write would change and the network's warnings (exit 1 when anything "
                  "differs) and write nothing");
    cmd->add_option("FILE", args->file, "configuration file (.cfg)")->required();
    cmd->callback([args, &status] { status = runWrite(*args); });
}

}  // namespace varnel::cli
