#pragma once

#include <functional>

namespace varnel {

struct Session;
class UserInterface;

// The configuration dialogs the loop can show, as a table so each dialog's
// own issue plugs its window in here. Each returns the dialog's result; 99
// asks for another pass.
struct ConfigDialogs {
    std::function<int()> tracker;       // families 0 and 2
    std::function<int()> weather;       // family 1
    std::function<int()> firmwareInit;  // blank or unknown firmware
};

enum class LoopEnd {
    LeaveBootloader,  // the normal end: tell the bootloader to start the firmware
    Abandon,          // a tracker with firmware this program cannot handle: leave it as it is
    ReadFailed,       // connected, but its settings did not arrive (told): connect again
};

// Reads the tracker (unless offline or the same target was just reconnected),
// shows the dialog its family byte selects, and goes round again while a
// dialog ends with 99 (the firmware-initialisation window too, once it has
// written new firmware).
LoopEnd runDialogLoop(Session& session, UserInterface& ui, const ConfigDialogs& dialogs);

}  // namespace varnel
