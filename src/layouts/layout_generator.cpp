#include "layouts/layout_generator.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace varnel::layouts {

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int runLayoutGenerator(int argc, char** argv, const char* program,
                       const std::function<GeneratedFiles(const std::vector<LayoutFile>&)>& make) {
    if (argc < 3 || (std::string(argv[1]) != "--out" && std::string(argv[1]) != "--check")) {
        std::cerr << "usage: " << program << " --out|--check DIR file.ui...\n";
        return 2;
    }
    const bool check = std::string(argv[1]) == "--check";
    const std::filesystem::path dir = argv[2];
    try {
        std::vector<LayoutFile> layouts;
        for (int i = 3; i < argc; ++i)
            layouts.push_back({std::filesystem::path(argv[i]).stem().string(), parseXml(readFile(argv[i]))});
        int status = 0;
        for (const auto& [file, text] : make(layouts)) {
            const std::filesystem::path path = dir / file;
            if (check) {
                if (!std::filesystem::exists(path) || readFile(path) != text) {
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
        std::cerr << program << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace varnel::layouts
