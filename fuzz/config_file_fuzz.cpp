// A configuration file of any length and content, loaded onto a connected
// tracker of some chip in either dialog's flavour, and offline.
#include "fuzz_input.h"
#include "session/config_file.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::Input in(data, size);
    const std::string chip = in.chip();
    const auto flavour = in.byte() & 1 ? varnel::ConfigFlavour::Weather : varnel::ConfigFlavour::Tracker;
    const std::span<const std::uint8_t> file(in.rest(), in.restSize());
    varnel::fuzz::SilentUi ui;

    // Sessions carry a 256 KiB flash image the loads never touch: made once.
    static varnel::Session connected, offline;
    connected.settings = {};
    connected.script = {};
    connected.link = {};
    connected.target = {};
    varnel::selectTarget(connected.target, chip);
    connected.link.deviceInfo.deviceId = chip;
    varnel::loadConfigBytes(file, connected, flavour, ui);

    offline.settings = {};
    offline.script = {};
    offline.link = {};
    offline.target = {};
    varnel::loadConfigBytesOffline(file, offline, ui);
    return 0;
}
