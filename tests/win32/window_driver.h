#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win32/modal_dialog.h"
#include "window_capture.h"

namespace varnel::test {

// Runs a modal window and, once it is on the screen and painted, calls
// `drive` with it from inside the window's own message loop; `drive` ends it
// by posting a command (OK, Cancel...). The window's result.
INT_PTR runDriven(win32::ModalDialog& dialog, std::function<void(HWND)> drive);

// Posts a click of the control with this id, as a user's click arrives.
void postClick(HWND dialog, int id);

}  // namespace varnel::test
