#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/device_connection.h"
#include "config/profile_record.h"
#include "link/device_configuration.h"
#include "link/diagnostics_session.h"

namespace varnel::cli {

namespace {

struct DiagArgs {
    DeviceOptions device;
    std::string gain = "1x";
    bool fahrenheit = false;
};

// The weather firmware keeps its transmit audio level at byte 55 of its record.
constexpr std::size_t kWeatherAudioLevel = 55;

int runDiag(const DiagArgs& args) {
    Session session;
    DeviceConnection conn(session, args.device);
    if (!conn.connect() || !conn.requireKnownTarget()) return 1;
    if (!(session.target.featureMask & kFeatureDiagnostics)) {
        conn.ui().message("This tracker's firmware has no diagnostics");
        return 1;
    }
    // The firmware is told the level it already has, so the test mode does
    // not change what the tracker transmits with.
    if (readDeviceConfiguration(conn.link(), session) != 0) return 1;
    const std::uint8_t* slot = session.settings.profile(0);
    const std::uint8_t level = session.settings.family() == kFamilyWeather
                                   ? slot[kWeatherAudioLevel]
                                   : ConstProfileRecord(slot, session.target.kind).audioLevel();
    const int gain = args.gain == "16x" ? 2 : args.gain == "4x" ? 1 : 0;

    DiagnosticsSession diag(*session.port, session.target.kind, !args.fahrenheit);
    const SensorReadings r = diag.open(level, gain);
    diag.close();
    std::cout << "Voltage: " << r.voltage << '\n' << "Temperature: " << r.temperature << '\n';
    if (r.receiveLevel) std::cout << "Receive level: " << *r.receiveLevel << " (gain " << args.gain << ")\n";
    return 0;
}

}  // namespace

void addDiagCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("diag", "Show a tracker's sensor readings once");
    auto args = std::make_shared<DiagArgs>();
    addDeviceOptions(cmd, args->device, false);
    cmd->add_option("--gain", args->gain, "receive gain for the audio level (JM60)")
        ->check(CLI::IsMember({"1x", "4x", "16x"}));
    cmd->add_flag("--fahrenheit", args->fahrenheit, "show the temperature in degrees Fahrenheit");
    cmd->callback([args, &status] { status = runDiag(*args); });
}

}  // namespace varnel::cli
