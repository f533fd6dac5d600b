#pragma once

#include <functional>

#include "session/config_file.h"
#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

// The check-and-store step of the dialog a command runs from: 0 or -1 (the
// failure already told).
using CheckAndStore = std::function<int()>;

// Every write to the tracker goes through here: the settings and script the
// tracker holds are saved in the context's backup folder first, then the
// session's image is written with the progress dialog, which names the backup
// after "Finished!". When the write fails, the user is offered the backup
// written back now (WriteBack::Offer; the unattended line has nobody to
// ask). 0 written, -1 the write failed (also when the backup went back),
// kBackupRefused when the backup could not be saved and nothing was written
// (all told).
inline constexpr int kBackupRefused = -2;
enum class WriteBack { Offer, DontAsk };
int writeWithBackup(AppContext& context, WriteBack writeBack = WriteBack::Offer);

// Remaps the vectors, checks the addresses and writes the image with the
// progress dialog. kResultReconnect once written; 0 when the address check
// refused the image (the calling dialog stays open).
int runFirmwareWriteChain(AppContext& context);

// A configuration dialog's Write on a connected tracker: the image is
// emptied, the working settings go in as the dialog's firmware keeps them
// (the tracker's per-kind areas, or the weather station's flat 255 bytes),
// and the progress dialog writes exactly those, after the backup. The
// result of writeWithBackup.
int writeConfiguration(AppContext& context, ConfigFlavour flavour);

// The firmware-initialisation dialog's two sources: the file's (or the
// download's) own configuration becomes the working one. kResultReconnect,
// or 0 when nothing was written.
int initialiseFromFile(AppContext& context);
int initialiseFromNetwork(AppContext& context);

// The configuration dialogs' load-firmware commands: after a good load the
// user chooses between the file's defaults and the current configuration.
int loadFirmwareFromFile(AppContext& context, ConfigFlavour flavour, const CheckAndStore& checkAndStore);
int loadFirmwareFromNetwork(AppContext& context, ConfigFlavour flavour, const CheckAndStore& checkAndStore);

// Reads the tracker's memory 0x0880..0xFA00 into a .bin file the user names.
// True when the file was written ("Done." shown).
bool exportFirmware(AppContext& context);

}  // namespace varnel
