#pragma once

#include <windows.h>

namespace varnel::win32 {

// The program's name, version and build date in a message box.
void showAboutBox(HWND owner);

}  // namespace varnel::win32
