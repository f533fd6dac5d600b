#include "ui/app_settings.h"

#include <QSettings>

namespace varnel::app_settings {

namespace {

QVariant value(const char* key, const QVariant& fallback) {
    QSettings s(kOrganisation, kApplication);
    s.beginGroup("Settings");
    return s.value(key, fallback);
}

void setValue(const char* key, const QVariant& v) {
    QSettings s(kOrganisation, kApplication);
    s.beginGroup("Settings");
    s.setValue(key, v);
}

}  // namespace

int port() { return value("Port", 1).toInt(); }
void setPort(int slot) { setValue("Port", slot); }
bool turbo() { return value("Turbo", 1).toInt() != 0; }
void setTurbo(bool on) { setValue("Turbo", on ? 1 : 0); }
QString portName() { return value("PortName", QString()).toString(); }
void setPortName(const QString& path) { setValue("PortName", path); }
bool metric() { return value("Metric", 1).toInt() != 0; }
void setMetric(bool on) { setValue("Metric", on ? 1 : 0); }
QString firmwareServer() { return value("FirmwareServer", kDefaultFirmwareServer).toString(); }
QString mirrorServer() { return value("MirrorServer", kDefaultMirrorServer).toString(); }

}  // namespace varnel::app_settings
