#include "shell/firmware_sequences.h"

#include <algorithm>

#include "config/settings_packing.h"
#include "core/user_interface.h"
#include "firmware/address_check.h"
#include "firmware/srecord_loader.h"
#include "firmware/vector_remap.h"
#include "link/boot_link.h"
#include "link/tracker_backup.h"
#include "session/session.h"
#include "link/bin_export.h"
#include "link/staged_write.h"

namespace varnel {

namespace {

constexpr const char* kFirmwareFilter = "Firmware Files (*.s19)";
constexpr const char* kLoadFailed = "Error loading firmware file";
constexpr const char* kBackupNote = "Backup of the previous settings: ";
constexpr const char* kBackupToWriteBack = "To put the previous settings back, load and write the backup: ";
constexpr const char* kWriteBackQuestion =
    "The write failed. Write the settings the tracker held before (the backup) back to it now?";
constexpr const char* kBackupWrittenBack = "The tracker holds its previous settings again, from the backup: ";
constexpr const char* kEraseQuestion =
    "Do you want to erase the current configuration and use defaults from this file?";

WorkingRecords records(Session& s) { return {s.settings, s.radio, s.script}; }

// 1 when the chosen file is in the image, 0 when the user cancelled, -1 when
// loading failed (told).
int loadChosenFile(AppContext& context) {
    const std::string path = context.files.openFile(kFirmwareFilter, "s19");
    if (path.empty()) return 0;
    if (const int loaded = loadSRecordFile(path, context.session.image, context.ui); loaded < 0) {
        if (loaded != kNoRecordsLoaded) context.ui.message(kLoadFailed, MessageKind::Error);
        return -1;
    }
    return 1;
}

bool downloadChosen(AppContext& context) {
    return context.windows.run(WindowKind::FirmwareDownload, context) == kResultAccepted;
}

// Yes: the new firmware's defaults become the working configuration. No: the
// current configuration goes into the new image (after the dialog's own check).
// False when the check refused a field: nothing is written then.
bool chooseConfiguration(AppContext& context, ConfigFlavour flavour, const CheckAndStore& checkAndStore) {
    Session& s = context.session;
    const bool useDefaults = context.ui.askYesNoDefaultNo(kEraseQuestion);
    if (useDefaults) {
        if (flavour == ConfigFlavour::Tracker) unpackSettings(s.image, s.target, records(s));
        else unpackWeatherSettings(s.image, s.target, s.settings);
        return true;
    }
    if (checkAndStore && checkAndStore() != 0) return false;
    // The new firmware's family, type and build stay (a station reporting
    // the old firmware's would be handled as that firmware); the rest is ours.
    if (flavour == ConfigFlavour::Tracker) packSettingsKeepingHeader(s.image, s.target, records(s));
    else packWeatherSettingsKeepingHeader(s.image, s.target, s.settings);
    return true;
}

// Writes the session's image with the write window. Its note names the
// backup: after `done` when the write worked, else with what the failure
// left and how to put the backup back. `changed`, given true when the
// tracker already differs from the backup, comes back true when its flash
// may differ from the backup now.
int writeShowingBackup(AppContext& context, const BackupResult& backup, const char* done, bool& changed) {
    std::string failure;
    return context.windows.runProgress({[&](WriteProgress& progress) {
                                            BootLink link(context.session, context.ui);
                                            const WriteResult result = writeImage(link, progress);
                                            changed = changed || link.flashMayHaveChanged();
                                            if (result.status != 0) failure = writeFailureNote(link, result);
                                            return result.status;
                                        },
                                        [&](int result) {
                                            if (result == 0) return done + backup.path;
                                            // What went wrong was told as it happened; the window says what
                                            // it left and how to undo it.
                                            return failure + "\n" + (changed ? kBackupToWriteBack : kBackupNote) +
                                                   backup.path;
                                        }});
}

// After a failed write: the settings and script the tracker held before are
// offered back, written as any settings write is, for as long as the user
// says yes and it fails. The image is the backup's from then on; the working
// records (the user's edits) stay as they are.
void offerBackup(AppContext& context, const BackupResult& backup) {
    Session& s = context.session;
    RecordsSnapshot kept = backup.records;
    while (context.ui.askYesNo(kWriteBackQuestion)) {
        s.image.reset();
        if (backup.flavour == ConfigFlavour::Tracker)
            packSettings(s.image, s.target, {kept.settings, kept.radio, kept.script});
        else packWeatherSettings(s.image, s.target, kept.settings);
        bool changed = true;  // by the write that failed
        if (writeShowingBackup(context, backup, kBackupWrittenBack, changed) == 0) return;
    }
}

}  // namespace

int writeWithBackup(AppContext& context, WriteBack writeBack) {
    BackupResult backup;
    {
        BootLink link(context.session, context.ui);
        backup = backupTracker(link, context.backupFolder);
    }
    if (!backup.ok()) {
        context.ui.message(backup.error, MessageKind::Error);
        return kBackupRefused;
    }
    bool changed = false;
    const int result = writeShowingBackup(context, backup, kBackupNote, changed);
    // A write that failed before its first erase left the tracker as the
    // backup has it: nothing to put back.
    if (result != 0 && changed && writeBack == WriteBack::Offer) offerBackup(context, backup);
    return result;
}

int runFirmwareWriteChain(AppContext& context) {
    Session& s = context.session;
    if (!imageHasResetVector(s.image, s.link.deviceInfo) &&
        !context.ui.askYesNoDefaultNo(std::string(kNoResetVector) + " Write it anyway?"))
        return 0;
    remapVectors(s.image, s.link.deviceInfo);
    if (validateImageAddresses(s.image, s.link.deviceInfo, s.target.kind, context.ui) < 0) return 0;
    // A refused backup wrote nothing: the dialog stays, as for a refused image.
    return writeWithBackup(context) == kBackupRefused ? 0 : kResultReconnect;
}

int writeConfiguration(AppContext& context, ConfigFlavour flavour) {
    Session& s = context.session;
    s.image.reset();
    if (flavour == ConfigFlavour::Tracker) packSettings(s.image, s.target, records(s));
    else packWeatherSettings(s.image, s.target, s.settings);
    return writeWithBackup(context);
}

int initialiseFromFile(AppContext& context) {
    if (loadChosenFile(context) <= 0) return 0;
    unpackSettings(context.session.image, context.session.target, records(context.session));
    return runFirmwareWriteChain(context);
}

int initialiseFromNetwork(AppContext& context) {
    if (!downloadChosen(context)) return 0;
    unpackSettings(context.session.image, context.session.target, records(context.session));
    return runFirmwareWriteChain(context);
}

int loadFirmwareFromFile(AppContext& context, ConfigFlavour flavour, const CheckAndStore& checkAndStore) {
    if (loadChosenFile(context) <= 0) return 0;
    if (!chooseConfiguration(context, flavour, checkAndStore)) return 0;
    return runFirmwareWriteChain(context);
}

int loadFirmwareFromNetwork(AppContext& context, ConfigFlavour flavour, const CheckAndStore& checkAndStore) {
    if (!downloadChosen(context)) return 0;
    if (!chooseConfiguration(context, flavour, checkAndStore)) return 0;
    return runFirmwareWriteChain(context);
}

bool exportFirmware(AppContext& context) {
    const std::string path = context.files.saveFile("Firmware Files (*.bin)", "bin");
    if (path.empty()) return false;
    BootLink link(context.session, context.ui);
    return exportDeviceToBin(link, path) == 0;
}

}  // namespace varnel
