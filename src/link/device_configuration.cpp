#include "link/device_configuration.h"

#include "config/settings_packing.h"
#include "link/boot_link.h"
#include "session/session.h"

namespace varnel {

int readDeviceConfiguration(BootLink& link, Session& session) {
    selectTarget(session.target, session.link.chipName);
    const DeviceTarget& t = session.target;
    if (link.readRange(t.settingsAddress, t.settingsAddress + t.settingsSize) != 0) return -1;
    if (t.hasScript() && link.readRange(t.scriptAddress, t.scriptAddress + kScriptAreaSize) != 0)
        return -1;
    unpackSettings(session.image, t, {session.settings, session.radio, session.script});
    // Weather firmware keeps a flat block on every chip; the per-kind unpack
    // would leave the bytes after its record shifted (JL16) or unread (KX8),
    // and a Write would then put those back over the station's own.
    if (session.settings.family() == kFamilyWeather) unpackWeatherSettings(session.image, t, session.settings);
    return 0;
}

}  // namespace varnel
