#include <chrono>
#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "cli/commands.h"
#include "cli/device_connection.h"
#include "config/profile_record.h"
#include "forms/diagnostics/diagnostics_form.h"
#include "link/device_configuration.h"
#include "link/diagnostics_session.h"

namespace varnel::cli {

namespace {

struct DiagArgs {
    DeviceOptions device;
    std::string gain = "1x";
    bool imperial = false;
    bool watch = false;
    std::vector<std::string> leds;  // "red=on", "tx=off", ...
    std::string power;              // "on", "off" or empty
    std::string tone;               // "high", "low", "both" or empty
    std::string pair = "1200";
    int audioLevel = -1;  // -1: not given
    int seconds = 3;
};

// The weather firmware keeps its transmit audio level at byte 55 of its record.
constexpr std::size_t kWeatherAudioLevel = 55;
constexpr auto kPollPeriod = std::chrono::milliseconds(250);

// Ctrl-C ends a watch or a hold so the tracker can be told to switch
// everything off; a signal handler can only leave a flag for the loop.
volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) { stopRequested = 1; }

// Catches SIGINT and SIGTERM while it lives and puts the previous handlers
// back. The standard C++ signal call works on Windows consoles (Ctrl-C) too;
// the waits it must end are short sleeps and poll-timed reads, which notice
// the flag within their step whether or not an interrupted call restarts.
class StopSignals {
public:
    StopSignals() {
        stopRequested = 0;
        oldInt_ = std::signal(SIGINT, requestStop);
        oldTerm_ = std::signal(SIGTERM, requestStop);
    }
    ~StopSignals() {
        if (oldInt_ != SIG_ERR) std::signal(SIGINT, oldInt_);
        if (oldTerm_ != SIG_ERR) std::signal(SIGTERM, oldTerm_);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    using Handler = void (*)(int);
    Handler oldInt_ = SIG_DFL, oldTerm_ = SIG_DFL;
};

// Sleeps until `until` in short steps; false when a stop was requested.
bool waitUntil(std::chrono::steady_clock::time_point until) {
    while (!stopRequested && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !stopRequested;
}

void printReadings(const SensorReadings& r, const std::string& gain, bool oneLine) {
    const char* gap = oneLine ? "  " : "\n";
    std::cout << "Voltage: " << r.voltage << gap << "Temperature: " << r.temperature;
    if (r.receiveLevel) std::cout << gap << "Receive level: " << *r.receiveLevel << " (gain " << gain << ")";
    std::cout << std::endl;
}

DiagOutput outputNamed(const std::string& name) {
    if (name == "green") return DiagOutput::GreenLed;
    if (name == "tx") return DiagOutput::TxLed;
    return DiagOutput::RedLed;
}

bool adjusting(const DiagArgs& a) {
    return !a.leds.empty() || !a.power.empty() || !a.tone.empty() || a.audioLevel >= 0;
}

// The adjustments in the order the dialog's user would make them: outputs,
// then the level and tone pair the tone is to play with, the tone last.
void adjust(DiagnosticsSession& diag, const DiagArgs& a) {
    for (const std::string& led : a.leds) {
        const auto eq = led.find('=');
        diag.setOutput(outputNamed(led.substr(0, eq)), led.substr(eq + 1) == "on");
    }
    if (!a.power.empty()) diag.setOutput(DiagOutput::Power, a.power == "on");
    if (a.audioLevel >= 0) diag.setAudioLevel(static_cast<std::uint8_t>(a.audioLevel));
    if (!a.tone.empty()) {
        diag.chooseTonePair(a.pair == "300" ? TonePair::Baud300 : TonePair::Baud1200);
        diag.setTones(a.tone != "low", a.tone != "high");
    }
}

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

    const StopSignals signals;
    DiagnosticsSession diag(*session.port, session.target.kind, !args.imperial);
    const SensorReadings first = diag.open(level, gain);
    if (!args.watch) printReadings(first, args.gain, false);
    const bool answered = first.answered;

    if (adjusting(args)) {
        adjust(diag, args);
        if (!args.watch) waitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(args.seconds));
    }
    if (args.watch) {
        // A reading every 250 ms until interrupted, the first one period
        // after opening as in the window (the opening's last answers are
        // still on their way); none while a tone plays.
        auto next = std::chrono::steady_clock::now();
        while (waitUntil(next += kPollPeriod)) {
            if (const auto r = diag.poll()) printReadings(*r, args.gain, true);
            next = std::max(next, std::chrono::steady_clock::now());
        }
    }
    // The dialog's closing sequence; the connection then leaves the bootloader.
    diag.close();
    if (!answered && !args.watch) {
        conn.ui().message("The tracker did not answer the diagnostic commands");
        return 1;
    }
    return 0;
}

}  // namespace

void addDiagCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "diag", "Show a tracker's sensor readings, watch them, or switch its test outputs for a while");
    auto args = std::make_shared<DiagArgs>();
    addDeviceOptions(cmd, args->device, false);
    cmd->add_option("--gain", args->gain, "receive gain for the audio level (JM60)")
        ->check(CLI::IsMember({"1x", "4x", "16x"}));
    cmd->add_flag("--imperial,--fahrenheit", args->imperial, "show the temperature in degrees Fahrenheit");
    cmd->add_flag("--watch", args->watch, "print a reading every 250 ms until interrupted (Ctrl-C)");
    cmd->add_option("--led", args->leds, "switch an LED: red|green|tx=on|off (may be repeated)")
        ->check(CLI::IsMember({"red=on", "red=off", "green=on", "green=off", "tx=on", "tx=off"}));
    cmd->add_option("--power", args->power, "switch the power output")->check(CLI::IsMember({"on", "off"}));
    cmd->add_option("--tone", args->tone, "play a test tone")->check(CLI::IsMember({"high", "low", "both"}));
    cmd->add_option("--pair", args->pair, "tone pair of the test tone, in baud")->check(CLI::IsMember({"1200", "300"}));
    cmd->add_option("--audio-level", args->audioLevel, "set the transmit audio level (0-255)")
        ->check(CLI::Range(0, 255));
    cmd->add_option("--seconds", args->seconds, "how long to hold an adjustment before switching it off")
        ->check(CLI::Range(0, 3600));
    cmd->callback([args, &status] { status = runDiag(*args); });
}

}  // namespace varnel::cli
