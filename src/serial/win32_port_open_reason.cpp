#include <windows.h>

#include "serial/port_open_reason.h"

namespace varnel {

namespace {

// "\\.\COM9" is how the program opens COM9; the user knows it as COM9.
std::string shownName(const std::string& path) {
    const std::string deviceNamespace = "\\\\.\\";
    return path.rfind(deviceNamespace, 0) == 0 ? path.substr(deviceNamespace.size()) : path;
}

}  // namespace

// Windows does not say which program holds a COM port.
std::string describePortHolder(const std::string&) { return {}; }

std::string describePortOpenFailure(const std::string& path) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return {};
    }
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return shownName(path) + " is in use by another program; close it and try again.";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return shownName(path) + " does not exist; is the tracker's cable plugged in?";
    default:
        return {};
    }
}

}  // namespace varnel
