#include "app/dialog_loop.h"

#include "config/settings_packing.h"
#include "core/session.h"
#include "link/boot_link.h"
#include "ui/firmware_sequences.h"

namespace varnel {

namespace {

// The settings area, and the script area of chips that keep one. False when
// the tracker did not answer (told already).
bool readTracker(Session& s, UserInterface& ui) {
    BootLink link(s, ui);
    if (link.readRange(s.target.settingsAddress, s.target.settingsAddress + s.target.settingsSize) < 0)
        return false;
    if (s.target.hasScript() &&
        link.readRange(s.target.scriptAddress, s.target.scriptAddress + kScriptAreaSize) < 0)
        return false;
    unpackSettings(s.image, s.target, {s.settings, s.radio, s.script});
    return true;
}

int show(const std::function<int()>& dialog) { return dialog ? dialog() : 0; }

}  // namespace

LoopEnd runDialogLoop(Session& s, UserInterface& ui, const ConfigDialogs& dialogs) {
    int result = 0;
    do {
        if (s.link.connected) {
            selectTarget(s.target, s.link.chipName);
            // Settings edited offline and then written through a reconnect to
            // the same chip stay as they are; anything else comes from the tracker.
            // A tracker that stops answering is not shown with settings never read.
            if (!s.link.sameTargetReconnected && !readTracker(s, ui)) return LoopEnd::LeaveBootloader;
            s.link.sameTargetReconnected = false;
        } else {
            std::string suffix;
            splitDeviceId(s.link.deviceInfo.deviceId, s.link.chipName, suffix);
            selectTarget(s.target, s.link.chipName);
        }

        const std::uint8_t family = s.settings.family();
        if (family == kFamilyTracker || family == kFamilyTrackerText) {
            if (s.settings.type() > 3) {
                show(dialogs.firmwareInit);
                return LoopEnd::Abandon;
            }
            result = show(dialogs.tracker);
        } else if (family == kFamilyWeather) {
            result = show(dialogs.weather);
        } else if (family == kFamilyNoDialog) {
            result = 0;
        } else {
            show(dialogs.firmwareInit);
            result = 0;
        }
    } while (result == kResultReconnect);
    return LoopEnd::LeaveBootloader;
}

}  // namespace varnel
