// varnel-dialog-templates: the Windows dialog templates, generated from the
// Qt Designer layouts so that every window's layout is written once.
//
//   varnel-dialog-templates --out DIR   a.ui b.ui ...   writes DIR/dialogs.rc, DIR/dialog_ids.h
//   varnel-dialog-templates --check DIR a.ui b.ui ...   fails when those files are not what the .ui files give
#include "layouts/layout_generator.h"
#include "win32/templates/rc_writer.h"
#include "win32/templates/ui_layout.h"

int main(int argc, char** argv) {
    using namespace varnel::templates;
    return varnel::layouts::runLayoutGenerator(argc, argv, "varnel-dialog-templates", [](const auto& files) {
        std::vector<DialogTemplate> templates;
        std::vector<std::pair<std::string, DialogTemplate>> named;
        for (const auto& file : files) {
            const DialogLayout layout = layOutDialog(*file.ui);
            templates.push_back(writeDialogTemplate(layout, formTableFor(layout.name)));
            named.emplace_back(file.stem, templates.back());
        }
        return varnel::layouts::GeneratedFiles{{"dialogs.rc", resourceScript(templates)},
                                               {"dialog_ids.h", generatedIdHeader(named)}};
    });
}
