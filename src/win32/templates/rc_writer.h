#pragma once

#include <string>
#include <vector>

#include "layouts/form_tables.h"
#include "win32/templates/ui_layout.h"

namespace varnel::templates {

using layouts::designerClassFor;
using layouts::formTableFor;
using layouts::TableRow;

// A dialog template for the resource compiler and the ids it gave controls
// that no form table names (a listing's Save button...), which the Windows
// front end reaches through the generated header.
struct DialogTemplate {
    std::string resource;                                   // DIALOGEX text
    std::vector<std::pair<std::string, int>> generatedIds;  // object name, id
};

// Ids given to controls no table names start here, clear of every table's.
inline constexpr int kFirstGeneratedId = 3000;

// The template of a laid-out dialog whose controls take their ids from the
// table. Throws std::runtime_error naming the row when a table row has no
// control of the right class in the layout.
DialogTemplate writeDialogTemplate(const DialogLayout& layout, const std::vector<TableRow>& table);

// The whole generated resource script and header for a set of dialogs.
std::string resourceScript(const std::vector<DialogTemplate>& dialogs);
std::string generatedIdHeader(const std::vector<std::pair<std::string, DialogTemplate>>& dialogs);

}  // namespace varnel::templates
