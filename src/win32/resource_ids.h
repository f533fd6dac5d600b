#pragma once

// Ids of the program's own resources besides the generated dialog templates,
// shared by the resource script (hence macros) and the code.
#define VARNEL_APP_ICON 1
