// Showing the main tracker dialog for an arbitrary settings record (a
// tracker's flash or a configuration file can hold anything): every chip,
// both profiles, metric and imperial, and what it shows stored back.
#include "forms/tracker/tracker_form.h"
#include "fuzz_input.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::Input in(data, size);
    // The session's 256 KiB flash image is never shown: made once.
    static varnel::Session session;
    session.link = {};
    session.target = {};
    session.currentProfile = 0;
    const std::string chip = in.chip();
    varnel::selectTarget(session.target, chip);
    session.link.deviceInfo.deviceId = chip;
    const std::uint8_t choice = in.byte();
    session.metric = (choice & 1) != 0;
    session.link.connected = (choice & 2) != 0;
    in.fill(session.settings.bytes);

    varnel::TrackerForm form;
    varnel::startTrackerForm(form, session, (choice >> 2) & 1);
    varnel::selectTrackerProfile(form, session, ((choice >> 2) & 1) ^ 1);
    varnel::fuzz::SilentUi ui;
    varnel::checkAndStore(form, session, ui);
    return 0;
}
