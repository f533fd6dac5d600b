#pragma once

#include <windows.h>

#include <string>

namespace varnel::test {

// Saves what the window shows as a .bmp named `name` in the folder given by
// the environment's VARNEL_SCREENSHOT_DIR (nothing when it is not set). The
// window may belong to another process: the pixels come from the screen.
void captureWindow(HWND window, const std::string& name);

}  // namespace varnel::test
