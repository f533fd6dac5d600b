#pragma once

#include <windows.h>

#include <string>

namespace varnel::win32 {

// The common file dialogs. filter in the form "Configuration Files (*.cfg)";
// suffix without the dot, added to a typed name that has none. The result is
// a path for the C runtime's narrow file functions, "" when cancelled.
std::string chooseOpenFile(HWND owner, const std::string& filter, const std::string& suffix);
std::string chooseSaveFile(HWND owner, const std::string& filter, const std::string& suffix);

}  // namespace varnel::win32
