#pragma once

#include <functional>

#include "session/config_file.h"
#include "shell/app_context.h"

namespace varnel {

// The commands the tracker and weather windows share. `flavour` says which
// firmware's layout the settings are kept in.

// Write: on a connected tracker the settings are written (after the backup);
// offline the connect window opens first. The result to end the window
// with: kResultReconnect when an offline Write connected (the dialog loop
// reads the chosen tracker's kind and shows its window again with the edited
// settings), else 0 (the window stays).
int writeOrConnect(AppContext& context, ConfigFlavour flavour);

// Save: what passed the window's check is stored already; a refused value
// does not stop the save, the file simply holds what was stored before it.
void saveConfigCommand(AppContext& context, ConfigFlavour flavour);

// Load: true when a file was chosen (its settings, or its message, are in).
bool loadConfigCommand(AppContext& context, ConfigFlavour flavour);

// Backups...: the backups kept before every write. True when one was written
// back to the tracker: the working records are the backup's then, and the
// window shows them.
bool backupsCommand(AppContext& context);

// The window's check-and-store, telling its failure to the given interface.
using StoreControls = std::function<int(UserInterface&)>;

// Exit, Escape or the window's close button. When the records with the
// controls' edits differ from what the tracker or a file last held (or a box
// holds what the window would refuse), the user
// chooses: Write (as the Write button, then leave once written), Discard or
// Cancel. The result to end the window with, or kStayOpen.
inline constexpr int kStayOpen = -1;
int leaveConfigWindow(AppContext& context, ConfigFlavour flavour, const StoreControls& store);

inline constexpr const char* kUnsavedEditsQuestion =
    "The settings have been changed since they were last read, written or saved.\n\n"
    "Write them to the tracker before leaving?";

}  // namespace varnel
