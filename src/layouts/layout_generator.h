#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "layouts/ui_xml.h"

namespace varnel::layouts {

// One Designer file as a generator reads it: its name without ".ui" and
// its parsed document.
struct LayoutFile {
    std::string stem;
    std::unique_ptr<XmlElement> ui;
};

// What a generator makes of the layouts: file names (in the output folder)
// and their texts.
using GeneratedFiles = std::vector<std::pair<std::string, std::string>>;

// The command line every layout generator shares:
//   PROGRAM --out DIR   a.ui b.ui ...   writes the files `make` gives into DIR
//   PROGRAM --check DIR a.ui b.ui ...   fails when those files are not what the .ui files give
// Returns the exit status: 0, 1 (out of date, or a layout `make` refuses
// by throwing), 2 (usage).
int runLayoutGenerator(int argc, char** argv, const char* program,
                       const std::function<GeneratedFiles(const std::vector<LayoutFile>&)>& make);

}  // namespace varnel::layouts
