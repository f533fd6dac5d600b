#include "web/backup_storage.h"

#include <emscripten.h>

namespace varnel::web {

namespace {

// clang-format off
EM_ASYNC_JS(void, js_openBackupStorage, (const char* folder), {
    const path = UTF8ToString(folder);
    try { FS.mkdir(path); } catch (e) {}
    try {
        FS.mount(IDBFS, {}, path);
        // A storage that never answers (an upgrade another tab blocks) must
        // not keep the program from starting.
        await Promise.race([new Promise((resolve) => FS.syncfs(true, resolve)),
                            new Promise((resolve) => setTimeout(resolve, 3000))]);
    } catch (e) {}
});
EM_JS(void, js_keepBackups, (), {
    try { FS.syncfs(false, () => {}); } catch (e) {}
});
// clang-format on

}  // namespace

void openBackupStorage(const std::string& folder) { js_openBackupStorage(folder.c_str()); }

void keepBackups() { js_keepBackups(); }

}  // namespace varnel::web
