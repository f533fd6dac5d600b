#pragma once

#include <string>

#include "shell/front_end.h"
#include "web/page_loop.h"

namespace varnel::web {

// The file windows of the page. Opening picks a file from disk with the
// browser's chooser and hands the program a copy in the page's memory;
// saving hands the program a path in the page's memory and, once the
// program has written it and waits for the user again, offers the file as a
// download (the browser asks where, or puts it in the downloads folder).
class PageFileChooser : public FileChooser {
public:
    explicit PageFileChooser(PageLoop& loop);
    std::string openFile(const std::string& filter, const std::string& suffix) override;
    std::string saveFile(const std::string& filter, const std::string& suffix, const std::string& name = {}) override;

private:
    // A file the program was asked to write, still to be offered.
    void offerPending();

    std::string pending_;
    int saved_ = 0;
};

}  // namespace varnel::web
