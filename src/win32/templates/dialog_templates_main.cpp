// varnel-dialog-templates: the Windows dialog templates, generated from the
// Qt Designer layouts so that every window's layout is written once.
//
//   varnel-dialog-templates --out DIR   a.ui b.ui ...   writes DIR/dialogs.rc, DIR/dialog_ids.h
//   varnel-dialog-templates --check DIR a.ui b.ui ...   fails when those files are not what the .ui files give
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "win32/templates/rc_writer.h"
#include "win32/templates/ui_layout.h"
#include "win32/templates/ui_xml.h"

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace varnel::templates;
    if (argc < 3 || (std::string(argv[1]) != "--out" && std::string(argv[1]) != "--check")) {
        std::cerr << "usage: varnel-dialog-templates --out|--check DIR file.ui...\n";
        return 2;
    }
    const bool check = std::string(argv[1]) == "--check";
    const std::filesystem::path dir = argv[2];
    try {
        std::vector<DialogTemplate> templates;
        std::vector<std::pair<std::string, DialogTemplate>> named;
        for (int i = 3; i < argc; ++i) {
            const auto ui = parseXml(readFile(argv[i]));
            const DialogLayout layout = layOutDialog(*ui);
            templates.push_back(writeDialogTemplate(layout, formTableFor(layout.name)));
            named.emplace_back(std::filesystem::path(argv[i]).stem().string(), templates.back());
        }
        const std::pair<const char*, std::string> outputs[] = {{"dialogs.rc", resourceScript(templates)},
                                                               {"dialog_ids.h", generatedIdHeader(named)}};
        int status = 0;
        for (const auto& [file, text] : outputs) {
            const std::filesystem::path path = dir / file;
            if (check) {
                const bool same = std::filesystem::exists(path) && readFile(path) == text;
                if (!same) {
                    std::cerr << path.string() << " is out of date with the .ui files\n";
                    status = 1;
                }
            } else {
                // Written every time, so the build sees the outputs newer
                // than what they are made from.
                std::filesystem::create_directories(dir);
                std::ofstream(path, std::ios::binary) << text;
            }
        }
        return status;
    } catch (const std::exception& e) {
        std::cerr << "varnel-dialog-templates: " << e.what() << "\n";
        return 1;
    }
}
