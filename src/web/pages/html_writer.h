#pragma once

#include <string>
#include <vector>

#include "layouts/form_tables.h"
#include "layouts/ui_xml.h"

namespace varnel::web_pages {

// One window of the page, made from its Designer file: a <template> whose
// elements are named "<class>-<object name>" (the class of the file, the
// name of the widget), so the page's binding finds each table row's control
// by the row's name. Layouts become CSS grids and flex boxes, so a window
// reflows on a narrow screen instead of overlapping.
struct WindowHtml {
    std::string name;   // the file's <class>
    std::string title;  // its window title
    std::string html;   // the <template> element
};

// Throws std::runtime_error on a widget the page has no element for, or when
// a row of the window's control table has no widget of its kind.
WindowHtml writeWindowHtml(const layouts::XmlElement& ui, const std::vector<layouts::TableRow>& table);

// The page's windows in one file, which the page script reads once.
std::string windowsFile(const std::vector<WindowHtml>& windows);

}  // namespace varnel::web_pages
