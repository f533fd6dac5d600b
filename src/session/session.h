#pragma once

#include <memory>
#include <string>

#include "config/device_target.h"
#include "config/settings_record.h"
#include "device/device_info.h"
#include "device/flash_image.h"
#include "device/serial_port.h"

namespace varnel {

// Everything that lives for the whole run, in one place: created by main and
// passed by reference. Functions take the narrowest part they need.
struct Session {
    std::unique_ptr<SerialPort> port;  // the platform's serial port
    LinkState link;
    DeviceTarget target;
    FlashImage image;
    SettingsRecord settings;
    RadioBlock radio;
    ScriptArea script;
    int currentProfile = 0;  // 0 or 1: the profile every satellite dialog edits
    bool metric = true;
    std::string offlineFile;  // the configuration file an offline run edits ("" otherwise)

    std::uint8_t* profile() { return settings.profile(currentProfile); }
    const std::uint8_t* profile() const { return settings.profile(currentProfile); }
};

}  // namespace varnel
