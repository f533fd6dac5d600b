#pragma once

#include <QString>

#include "shell/front_end.h"

namespace varnel {

// The program's persistent settings: QSettings("Brenvale", "varnelcfg"),
// group "Settings" (on Windows the registry key the tracker tools have always
// used). Read and written where the windows need them, never cached.
namespace app_settings {

inline constexpr const char* kOrganisation = "Brenvale";
inline constexpr const char* kApplication = "varnelcfg";

int port();  // "Port", slot 1..16, default 1
void setPort(int slot);
bool turbo();  // "Turbo", default 1: fast link allowed
void setTurbo(bool on);
QString portName();  // "PortName": the device path behind "Port", "" if none
void setPortName(const QString& path);
bool metric();  // "Metric", default 1
void setMetric(bool on);
QString firmwareServer();  // "FirmwareServer", host[:port]
QString mirrorServer();    // "MirrorServer", host[:port]

}  // namespace app_settings

// The shell's settings over the same QSettings.
class QtAppSettings : public AppSettings {
public:
    int port() const override { return app_settings::port(); }
    void setPort(int slot) override { app_settings::setPort(slot); }
    std::string portName() const override { return app_settings::portName().toStdString(); }
    void setPortName(const std::string& path) override { app_settings::setPortName(QString::fromStdString(path)); }
    bool turbo() const override { return app_settings::turbo(); }
    void setTurbo(bool on) override { app_settings::setTurbo(on); }
    bool metric() const override { return app_settings::metric(); }
    void setMetric(bool on) override { app_settings::setMetric(on); }
};

}  // namespace varnel
