#pragma once

#include <string>

#include "shell/front_end.h"

namespace varnel::win32 {

// The common file dialogs, owned by the active window. filter in the form
// "Configuration Files (*.cfg)"; suffix without the dot, added to a typed
// name that has none. The result is a path for the C runtime's narrow file
// functions, "" when cancelled.
class Win32FileChooser : public FileChooser {
public:
    std::string openFile(const std::string& filter, const std::string& suffix) override;
    std::string saveFile(const std::string& filter, const std::string& suffix, const std::string& name = {}) override;
};

}  // namespace varnel::win32
