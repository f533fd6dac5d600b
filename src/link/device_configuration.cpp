#include "link/device_configuration.h"

#include "config/settings_packing.h"
#include "core/session.h"
#include "link/boot_link.h"

namespace varnel {

int readDeviceConfiguration(BootLink& link, Session& session) {
    selectTarget(session.target, session.link.chipName);
    const DeviceTarget& t = session.target;
    if (link.readRange(t.settingsAddress, t.settingsAddress + t.settingsSize) != 0) return -1;
    if (t.hasScript() && link.readRange(t.scriptAddress, t.scriptAddress + kScriptAreaSize) != 0)
        return -1;
    unpackSettings(session.image, t, {session.settings, session.radio, session.script});
    return 0;
}

}  // namespace varnel
