#include "win32/file_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {

// "Name (*.ext)" becomes the dialog's pair "Name (*.ext)\0*.ext\0", and all
// files are offered as well.
std::wstring filterPairs(const std::string& filter) {
    std::wstring out = wideFromUtf8(filter);
    const std::size_t open = filter.find('('), close = filter.find(')');
    const std::string pattern =
        open != std::string::npos && close > open ? filter.substr(open + 1, close - open - 1) : "*.*";
    out += L'\0';
    out += wideFromUtf8(pattern);
    out += L'\0';
    out += L"All Files (*.*)";
    out += L'\0';
    out += L"*.*";
    out += L'\0';
    return out;
}

std::string choose(HWND owner, const std::string& filter, const std::string& suffix, bool save,
                   const std::string& name = {}) {
    wchar_t path[MAX_PATH] = {};
    // The name offered to start with, when it fits the buffer.
    if (const std::wstring wide = wideFromUtf8(name); wide.size() < MAX_PATH) wide.copy(path, wide.size());
    const std::wstring filters = filterPairs(filter);
    const std::wstring extension = wideFromUtf8(suffix);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = extension.c_str();
    // Saving replaces a file without asking, as the tracker tools always have.
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? 0 : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    return chosen ? localPath(path) : std::string();
}

}  // namespace

std::string Win32FileChooser::openFile(const std::string& filter, const std::string& suffix) {
    return choose(GetActiveWindow(), filter, suffix, false);
}

std::string Win32FileChooser::saveFile(const std::string& filter, const std::string& suffix, const std::string& name) {
    return choose(GetActiveWindow(), filter, suffix, true, name);
}

}  // namespace varnel::win32
