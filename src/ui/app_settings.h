#pragma once

#include <QString>

namespace varnel {

// The program's persistent settings: QSettings("Brenvale", "varnelcfg"),
// group "Settings" (on Windows the registry key the tracker tools have always
// used). Read and written where the dialogs need them, never cached.
namespace app_settings {

inline constexpr const char* kOrganisation = "Brenvale";
inline constexpr const char* kApplication = "varnelcfg";

// Where the release lists and the firmware files are served from. A firmware
// server answers /support/firmware/<chip>/list.txt; a mirror serves the files.
inline constexpr const char* kDefaultFirmwareServer = "www.brenvale.com";
inline constexpr const char* kDefaultMirrorServer = "files.brenvale.com";

int port();                  // "Port", slot 1..16, default 1
void setPort(int slot);
bool turbo();                // "Turbo", default 1: fast link allowed
void setTurbo(bool on);
QString portName();          // "PortName": the device path behind "Port", "" if none
void setPortName(const QString& path);
bool metric();               // "Metric", default 1
void setMetric(bool on);
QString firmwareServer();    // "FirmwareServer", host[:port]
QString mirrorServer();      // "MirrorServer", host[:port]

}  // namespace app_settings
}  // namespace varnel
