#include <memory>

#include "cli/backup_step.h"
#include "cli/commands.h"
#include "cli/device_connection.h"
#include "cli/terminal_progress.h"
#include "config/settings_packing.h"
#include "firmware/address_check.h"
#include "firmware/srecord_loader.h"
#include "firmware/vector_remap.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"

namespace varnel::cli {

namespace {

struct FlashArgs {
    DeviceOptions device;
    bool keepSettings = false;
    bool force = false;
    std::string file;
    BackupStep backup;
};

// The unattended firmware load: connect, load the file, keep the tracker's
// settings or take the file's, remap, check the addresses, write, leave.
int runFlash(FlashArgs& args) {
    Session session;
    DeviceConnection conn(session, args.device);
    if (!conn.connect()) return 1;
    BootLink& link = conn.link();
    UserInterface& ui = conn.ui();
    const WorkingRecords records{session.settings, session.radio, session.script};

    if (const int loaded = loadSRecordFile(args.file, session.image, ui); loaded < 0) {
        // Not even --force writes a file with nothing in it.
        if (loaded != kNoRecordsLoaded) ui.message("Error loading firmware file");
        return 1;
    }
    if (!args.force && !imageHasResetVector(session.image, session.link.deviceInfo)) {
        ui.message(std::string(kNoResetVector) + " Use --force to write it anyway.");
        return 1;
    }
    if (args.keepSettings) {
        // The tracker's own settings and script replace the file's; the
        // header bytes (family, type, build) are the tracker's as read.
        if (keepDeviceConfiguration(link, session) != 0) return 1;
    } else {
        unpackSettings(session.image, session.target, records);
    }
    remapVectors(session.image, session.link.deviceInfo);
    if (validateImageAddresses(session.image, session.link.deviceInfo, session.target.kind, ui) != 0) return 1;
    if (!args.backup.run(link, ui)) return 1;
    WriteResult result;
    {
        TerminalProgress progress;
        result = writeImage(link, progress);
    }
    if (result.status != 0) {
        args.backup.reportFailedWrite(link, result, args.device.port, ui);
        return 1;
    }
    args.backup.report();
    return 0;
}

}  // namespace

void addFlashCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("flash", "Load firmware from an S-record file into a tracker");
    auto args = std::make_shared<FlashArgs>();
    addDeviceOptions(cmd, args->device);
    cmd->add_flag("--keep-settings", args->keepSettings,
                  "keep the tracker's settings and script instead of the file's");
    cmd->add_flag("--force", args->force, "write an image that has no reset vector (the tracker will not start it)");
    cmd->add_option("FILE", args->file, "firmware file (.s19)")->required();
    args->backup.addOption(cmd);
    cmd->callback([args, &status] { status = runFlash(*args); });
}

}  // namespace varnel::cli
