#pragma once

#include "shell/front_end.h"

namespace varnel {

// The shell's file dialogs as Qt file dialogs over the active window. Paths
// come back in the local file system's encoding.
class QtFileChooser : public FileChooser {
public:
    std::string openFile(const std::string& filter, const std::string& suffix) override;
    std::string saveFile(const std::string& filter, const std::string& suffix, const std::string& name = {}) override;
};

}  // namespace varnel
