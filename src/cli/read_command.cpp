#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/device_connection.h"
#include "link/device_configuration.h"
#include "session/config_file.h"

namespace varnel::cli {

namespace {

struct ReadArgs {
    DeviceOptions device;
    std::string output;
};

int runRead(const ReadArgs& args) {
    Session session;
    DeviceConnection conn(session, args.device);
    if (!conn.connect() || !conn.requireKnownTarget()) return 1;
    if (readDeviceConfiguration(conn.link(), session) != 0) return 1;
    // Settings of no firmware we know (or bytes that did not arrive as sent)
    // are never saved as if they were a configuration.
    if (const std::uint8_t family = session.settings.family(); !familyHasSettingsDialog(family)) {
        conn.ui().message("The tracker's settings are not those of any firmware this program knows (family " +
                          std::to_string(family) + "), so " + args.output + " was not written.");
        return 1;
    }
    return saveConfigFile(args.output, session, configFlavourFor(session.settings), conn.ui()) == 0 ? 0 : 1;
}

}  // namespace

void addReadCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("read", "Save a tracker's configuration to a .cfg file");
    auto args = std::make_shared<ReadArgs>();
    addDeviceOptions(cmd, args->device);
    cmd->add_option("--output,-o", args->output, "configuration file to write")->required();
    cmd->callback([args, &status] { status = runRead(*args); });
}

}  // namespace varnel::cli
