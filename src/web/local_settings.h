#pragma once

#include <string>

#include "shell/front_end.h"

namespace varnel::web {

// The program's settings in the browser's local storage, under the names the
// desktop programs use: "Port", "PortName", "Turbo", "Metric",
// "FirmwareServer", "MirrorServer".
class LocalSettings : public AppSettings {
public:
    int port() const override;
    void setPort(int slot) override;
    std::string portName() const override;
    void setPortName(const std::string& path) override;
    bool turbo() const override;
    void setTurbo(bool on) override;
    bool metric() const override;
    void setMetric(bool on) override;
    std::string firmwareServer() const;
    std::string mirrorServer() const;
};

}  // namespace varnel::web
