#pragma once

#include <string>

#include "shell/front_end.h"

namespace varnel::win32 {

// The program's persistent settings in the registry, under
// HKEY_CURRENT_USER\Software\Brenvale\varnelcfg\Settings, where the tracker
// tools have always kept them: "Port" (the slot number), "Turbo" and
// "Metric" as DWORDs; "PortName" (the device behind the slot) and the
// firmware and mirror servers as strings. Read
// and written where the windows need them, never cached.
class RegistrySettings : public AppSettings {
public:
    // The key's path under HKEY_CURRENT_USER; tests give their own.
    explicit RegistrySettings(std::wstring keyPath = kKeyPath) : keyPath_(std::move(keyPath)) {}

    static constexpr const wchar_t* kKeyPath = L"Software\\Brenvale\\varnelcfg\\Settings";

    int port() const override;  // 1..16, default 1
    void setPort(int slot) override;
    std::string portName() const override;  // the device behind "Port", "" if none
    void setPortName(const std::string& path) override;
    bool turbo() const override;  // default 1: the fast link is allowed
    void setTurbo(bool on) override;
    bool metric() const override;  // default 1
    void setMetric(bool on) override;
    std::string firmwareServer() const;  // host[:port]
    std::string mirrorServer() const;

private:
    int readNumber(const wchar_t* name, int fallback) const;
    void writeNumber(const wchar_t* name, int value);
    void writeValue(const wchar_t* name, unsigned long type, const void* data, unsigned long size);
    std::string readText(const wchar_t* name, const char* fallback) const;

    std::wstring keyPath_;
};

}  // namespace varnel::win32
