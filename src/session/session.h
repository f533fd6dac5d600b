#pragma once

#include <memory>
#include <optional>
#include <string>

#include "config/device_target.h"
#include "config/settings_record.h"
#include "device/device_info.h"
#include "device/flash_image.h"
#include "serial/serial_port.h"

namespace varnel {

// The working records as one value: what the tracker or a file held when
// they were last read, written, loaded or saved, so that leaving a window can
// tell whether it would drop edits.
struct RecordsSnapshot {
    SettingsRecord settings;
    RadioBlock radio;
    ScriptArea script;
    bool operator==(const RecordsSnapshot& o) const {
        return settings.bytes == o.settings.bytes && radio.bytes == o.radio.bytes && script.bytes == o.script.bytes;
    }
};

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
    // The records as the tracker or a file last held them; empty when
    // nothing holds them (settings kept across a reconnect, not yet written).
    std::optional<RecordsSnapshot> saved;

    std::uint8_t* profile() { return settings.profile(currentProfile); }
    const std::uint8_t* profile() const { return settings.profile(currentProfile); }

    RecordsSnapshot snapshot() const { return {settings, radio, script}; }
    void restore(const RecordsSnapshot& r) {
        settings = r.settings;
        radio = r.radio;
        script = r.script;
    }
    void markSaved() { saved = snapshot(); }
    bool unsaved() const { return !saved || !(*saved == snapshot()); }
};

}  // namespace varnel
