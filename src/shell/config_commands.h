#pragma once

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

}  // namespace varnel
