#pragma once

#include "shell/front_end.h"

namespace varnel::web {

// The file dialogs of the page. Configuration files opened from disk and
// saved as downloads are not done yet: the chooser answers as a user who
// cancelled, which leaves everything as it was.
class PageFileChooser : public FileChooser {
public:
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&) override { return {}; }
};

}  // namespace varnel::web
