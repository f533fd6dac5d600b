#include "link/device_configuration.h"

#include "config/settings_packing.h"
#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"
#include "link/link_messages.h"
#include "session/session.h"

namespace varnel {

namespace {

int readArea(BootLink& link, FlashImage& image, std::uint32_t start, std::uint32_t size) {
    if (start + size > kFlashSize) {
        link.ui().message(link_messages::kErrorReceiving, MessageKind::Error);
        return -1;
    }
    return readConfirmedInto(link, start, start + size, &image.bytes[start]);
}

}  // namespace

int readDeviceConfiguration(BootLink& link, Session& session) {
    selectTarget(session.target, session.link.chipName);
    const DeviceTarget& t = session.target;
    if (readArea(link, session.image, t.settingsAddress, t.settingsSize) != 0) return -1;
    if (t.hasScript() && readArea(link, session.image, t.scriptAddress, kScriptAreaSize) != 0) return -1;
    unpackSettings(session.image, t, {session.settings, session.radio, session.script});
    // Weather firmware keeps a flat block on every chip; the per-kind unpack
    // would leave the bytes after its record shifted (JL16) or unread (KX8),
    // and a Write would then put those back over the station's own.
    if (session.settings.family() == kFamilyWeather) unpackWeatherSettings(session.image, t, session.settings);
    return 0;
}

int keepDeviceConfiguration(BootLink& link, Session& session) {
    // The areas are read over the image's and go back by the chip's tracker
    // layout whatever the firmware: every byte read is written back as it
    // came, a weather station's too (whose flat block the tracker layout
    // would otherwise scramble on the small chips).
    selectTarget(session.target, session.link.chipName);
    const DeviceTarget& t = session.target;
    if (readArea(link, session.image, t.settingsAddress, t.settingsSize) != 0) return -1;
    if (t.hasScript() && readArea(link, session.image, t.scriptAddress, kScriptAreaSize) != 0) return -1;
    const WorkingRecords records{session.settings, session.radio, session.script};
    unpackSettings(session.image, t, records);
    packSettingsKeepingHeader(session.image, t, records);
    return 0;
}

}  // namespace varnel
