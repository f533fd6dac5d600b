#include <windows.h>

#include <string>
#include <vector>

#include "serial/port_resolver.h"

// The COM ports of a Windows machine: every serial driver enters its ports
// under HARDWARE\DEVICEMAP\SERIALCOMM, the device's kernel name as the value
// name and "COMn" as the data.

namespace varnel {

namespace {

std::string narrow(const wchar_t* text, DWORD length) {
    std::string out;
    for (DWORD i = 0; i < length && text[i] != L'\0'; ++i) out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return out;
}

}  // namespace

std::vector<SerialCommEntry> readSerialComm() {
    std::vector<SerialCommEntry> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return entries;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        wchar_t data[256];
        DWORD nameLength = 256;
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        const LONG rc =
            RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        entries.push_back({narrow(name, nameLength), narrow(data, dataBytes / sizeof(wchar_t))});
    }
    RegCloseKey(key);
    return entries;
}

std::vector<PortDescription> listSerialPorts() { return describeSerialComm(readSerialComm()); }

}  // namespace varnel
