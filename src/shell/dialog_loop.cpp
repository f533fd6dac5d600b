#include "shell/dialog_loop.h"

#include "link/boot_link.h"
#include "link/device_configuration.h"
#include "session/session.h"
#include "shell/firmware_sequences.h"
#include "shell/front_end.h"

namespace varnel {

namespace {

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
            if (!s.link.sameTargetReconnected) {
                BootLink link(s, ui);
                if (readDeviceConfiguration(link, s) < 0) return LoopEnd::ReadFailed;
                s.markSaved();
            } else {
                s.saved.reset();  // what is shown is not what the tracker holds
            }
            s.link.sameTargetReconnected = false;
        } else {
            std::string suffix;
            splitDeviceId(s.link.deviceInfo.deviceId, s.link.chipName, suffix);
            selectTarget(s.target, s.link.chipName);
        }

        const std::uint8_t family = s.settings.family();
        if (family == kFamilyTracker || family == kFamilyTrackerText) {
            if (s.settings.type() > 3) {
                // New firmware written: read the tracker again. Otherwise its
                // firmware is left running as it is, without the leave command.
                result = show(dialogs.firmwareInit);
                if (result != kResultReconnect) return LoopEnd::Abandon;
                continue;
            }
            result = show(dialogs.tracker);
        } else if (family == kFamilyWeather) {
            result = show(dialogs.weather);
        } else if (family == kFamilyNoDialog) {
            result = 0;
        } else {
            result = show(dialogs.firmwareInit);
        }
    } while (result == kResultReconnect);
    return LoopEnd::LeaveBootloader;
}

}  // namespace varnel
