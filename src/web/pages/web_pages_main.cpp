// varnel-web-pages: the page's windows, generated from the Qt Designer
// layouts so that every window's layout is written once.
//
//   varnel-web-pages --out DIR   a.ui b.ui ...   writes DIR/windows.html
//   varnel-web-pages --check DIR a.ui b.ui ...   fails when that file is not what the .ui files give
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "web/pages/html_writer.h"
#include "win32/templates/form_tables.h"
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
    using namespace varnel;
    if (argc < 3 || (std::string(argv[1]) != "--out" && std::string(argv[1]) != "--check")) {
        std::cerr << "usage: varnel-web-pages --out|--check DIR file.ui...\n";
        return 2;
    }
    const bool check = std::string(argv[1]) == "--check";
    const std::filesystem::path path = std::filesystem::path(argv[2]) / "windows.html";
    try {
        std::vector<web_pages::WindowHtml> windows;
        for (int i = 3; i < argc; ++i) {
            const auto ui = templates::parseXml(readFile(argv[i]));
            const std::string name = ui->child("class") ? ui->child("class")->text : std::string();
            windows.push_back(web_pages::writeWindowHtml(*ui, templates::formTableFor(name)));
        }
        const std::string text = web_pages::windowsFile(windows);
        if (check) {
            if (!std::filesystem::exists(path) || readFile(path) != text) {
                std::cerr << path.string() << " is out of date with the .ui files\n";
                return 1;
            }
            return 0;
        }
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "varnel-web-pages: " << e.what() << "\n";
        return 1;
    }
}
