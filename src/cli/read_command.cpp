#include <memory>

#include "cli/commands.h"
#include "cli/device_connection.h"
#include "config/config_file.h"
#include "link/device_configuration.h"

namespace varnel::cli {

namespace {

struct ReadArgs {
    DeviceOptions device;
    std::string output;
};

// Weather-station firmware is saved as its own dialog saves it (no script).
ConfigFlavour flavourOf(const SettingsRecord& settings) {
    return settings.family() == kFamilyWeather ? ConfigFlavour::Weather : ConfigFlavour::Tracker;
}

int runRead(const ReadArgs& args) {
    Session session;
    DeviceConnection conn(session, args.device);
    if (!conn.connect() || !conn.requireKnownTarget()) return 1;
    if (readDeviceConfiguration(conn.link(), session) != 0) return 1;
    return saveConfigFile(args.output, session, flavourOf(session.settings), conn.ui()) == 0 ? 0 : 1;
}

}  // namespace

ConfigFlavour configFlavourFor(const SettingsRecord& settings) { return flavourOf(settings); }

void addReadCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("read", "Save a tracker's configuration to a .cfg file");
    auto args = std::make_shared<ReadArgs>();
    addDeviceOptions(cmd, args->device);
    cmd->add_option("--output,-o", args->output, "configuration file to write")->required();
    cmd->callback([args, &status] { status = runRead(*args); });
}

}  // namespace varnel::cli
