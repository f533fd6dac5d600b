// varnel-web-pages: the page's windows, generated from the Qt Designer
// layouts so that every window's layout is written once.
//
//   varnel-web-pages --out DIR   a.ui b.ui ...   writes DIR/windows.html
//   varnel-web-pages --check DIR a.ui b.ui ...   fails when that file is not what the .ui files give
#include "layouts/form_tables.h"
#include "layouts/layout_generator.h"
#include "web/pages/html_writer.h"

int main(int argc, char** argv) {
    using namespace varnel;
    return layouts::runLayoutGenerator(argc, argv, "varnel-web-pages", [](const auto& files) {
        std::vector<web_pages::WindowHtml> windows;
        for (const auto& file : files) {
            const std::string name = file.ui->child("class") ? file.ui->child("class")->text : std::string();
            windows.push_back(web_pages::writeWindowHtml(*file.ui, layouts::formTableFor(name)));
        }
        return layouts::GeneratedFiles{{"windows.html", web_pages::windowsFile(windows)}};
    });
}
