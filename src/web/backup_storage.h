#pragma once

#include <string>

namespace varnel::web {

// The backups the shell saves before every write live in the browser's
// storage (IndexedDB, through Emscripten's IDBFS), so that closing the page
// or the browser does not lose the settings a tracker held before a write.

// Mounts the storage at `folder` and waits for what earlier visits kept to
// be there. Where the browser keeps no storage (a private window that
// refuses IndexedDB), the folder is the page's memory only, as before.
void openBackupStorage(const std::string& folder);

// Hands what the folder holds now to the browser's storage; the copy goes
// on while the program works.
void keepBackups();

}  // namespace varnel::web
