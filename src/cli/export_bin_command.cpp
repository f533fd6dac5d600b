#include <memory>

#include "cli/commands.h"
#include "cli/device_connection.h"
#include "link/bin_export.h"

namespace varnel::cli {

namespace {

struct ExportArgs {
    DeviceOptions device;
    std::string output;
};

int runExport(const ExportArgs& args) {
    Session session;
    DeviceConnection conn(session, args.device);
    if (!conn.connect()) return 1;
    return exportDeviceToBin(conn.link(), args.output) == 0 ? 0 : 1;
}

}  // namespace

void addExportBinCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("export-bin", "Save a tracker's memory as a raw .bin image");
    auto args = std::make_shared<ExportArgs>();
    addDeviceOptions(cmd, args->device);
    cmd->add_option("--output,-o", args->output, ".bin file to write")->required();
    cmd->callback([args, &status] { status = runExport(*args); });
}

}  // namespace varnel::cli
