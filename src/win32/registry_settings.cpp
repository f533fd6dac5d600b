#include "win32/registry_settings.h"

#include <windows.h>

#include "win32/win32_text.h"

namespace varnel::win32 {

int RegistrySettings::readNumber(const wchar_t* name, int fallback) const {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return static_cast<int>(value);
}

void RegistrySettings::writeValue(const wchar_t* name, unsigned long type, const void* data, unsigned long size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;  // a setting that cannot be kept is simply not remembered
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void RegistrySettings::writeNumber(const wchar_t* name, int value) {
    const DWORD v = static_cast<DWORD>(value);
    writeValue(name, REG_DWORD, &v, sizeof v);
}

std::string RegistrySettings::readText(const wchar_t* name, const char* fallback) const {
    wchar_t value[256] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath_.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
            ERROR_SUCCESS ||
        value[0] == L'\0')
        return fallback;
    return utf8FromWide(value);
}

int RegistrySettings::port() const {
    const int slot = readNumber(L"Port", 1);
    return slot >= 1 && slot <= 16 ? slot : 1;
}
void RegistrySettings::setPort(int slot) { writeNumber(L"Port", slot); }
std::string RegistrySettings::portName() const { return readText(L"PortName", ""); }
void RegistrySettings::setPortName(const std::string& path) {
    const std::wstring value = wideFromUtf8(path);
    writeValue(L"PortName", REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
bool RegistrySettings::turbo() const { return readNumber(L"Turbo", 1) != 0; }
void RegistrySettings::setTurbo(bool on) { writeNumber(L"Turbo", on ? 1 : 0); }
bool RegistrySettings::metric() const { return readNumber(L"Metric", 1) != 0; }
void RegistrySettings::setMetric(bool on) { writeNumber(L"Metric", on ? 1 : 0); }
std::string RegistrySettings::firmwareServer() const { return readText(L"FirmwareServer", kDefaultFirmwareServer); }
std::string RegistrySettings::mirrorServer() const { return readText(L"MirrorServer", kDefaultMirrorServer); }

}  // namespace varnel::win32
