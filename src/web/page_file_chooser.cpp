#include "web/page_file_chooser.h"

#include <emscripten.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace varnel::web {

namespace {

// Where opened files are copied and saved files written, in the page's
// memory.
constexpr const char* kOpenedFolder = "/opened";
constexpr const char* kSavedFolder = "/saved";

// clang-format off
// The browser's file chooser for files ending in `accept` (".cfg"); the
// chosen file copied to folder/name. Returns the path, or 0 when the user
// cancelled.
EM_ASYNC_JS(char*, js_pickFile, (const char* accept, const char* folder), {
    const input = document.createElement('input');
    input.type = 'file';
    input.accept = UTF8ToString(accept);
    const file = await new Promise((resolve) => {
        input.addEventListener('change', () => resolve(input.files[0] || null));
        input.addEventListener('cancel', () => resolve(null));
        input.click();
    });
    if (!file) return 0;
    const bytes = new Uint8Array(await file.arrayBuffer());
    const path = UTF8ToString(folder) + '/' + file.name.split('/').join('_');
    FS.writeFile(path, bytes);
    const n = lengthBytesUTF8(path) + 1;
    const p = _malloc(n);
    stringToUTF8(path, p, n);
    return p;
});
// Offers the file at path as a download named `name`.
EM_JS(void, js_offerDownload, (const char* path, const char* name), {
    const bytes = FS.readFile(UTF8ToString(path));
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = UTF8ToString(name);
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
});
// clang-format on

}  // namespace

PageFileChooser::PageFileChooser(PageLoop& loop) {
    std::error_code ignored;
    std::filesystem::create_directories(kOpenedFolder, ignored);
    std::filesystem::create_directories(kSavedFolder, ignored);
    loop.setIdleHandler([this] { offerPending(); });
}

std::string PageFileChooser::openFile(const std::string&, const std::string& suffix) {
    std::unique_ptr<char, decltype(&std::free)> path(js_pickFile(("." + suffix).c_str(), kOpenedFolder), &std::free);
    return path ? std::string(path.get()) : std::string();
}

std::string PageFileChooser::saveFile(const std::string&, const std::string& suffix, const std::string& name) {
    offerPending();
    // The download takes the file's name: the one offered, else a numbered one.
    const std::string folder = std::string(kSavedFolder) + "/" + std::to_string(++saved_);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string file = name.empty() || name.find('/') != std::string::npos
                                 ? "varnelcfg-" + std::to_string(saved_) + "." + suffix
                                 : name;
    pending_ = folder + "/" + file;
    return pending_;
}

void PageFileChooser::offerPending() {
    if (pending_.empty()) return;
    const std::string path = std::move(pending_);
    pending_.clear();
    std::error_code error;
    // Nothing written (the write failed and said so): nothing to offer.
    if (!std::filesystem::is_regular_file(path, error)) return;
    js_offerDownload(path.c_str(), std::filesystem::path(path).filename().c_str());
    std::filesystem::remove_all(std::filesystem::path(path).parent_path(), error);
}

}  // namespace varnel::web
