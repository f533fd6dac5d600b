#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/device_connection.h"
#include "config/device_target.h"
#include "serial/connection_doctor.h"

namespace varnel::cli {

namespace {

struct DoctorArgs {
    DeviceOptions device;
    bool connect = false;
};

// The last check: the tracker itself answers, through the same connect
// every device command makes.
DoctorFinding connectCheck(const DeviceOptions& options) {
    Session session;
    DeviceConnection conn(session, options);
    std::vector<std::string> said;
    conn.ui().collectInto(&said);
    if (!conn.connect()) {
        std::string found;
        for (const std::string& text : said) found += (found.empty() ? "" : " ") + text;
        std::replace(found.begin(), found.end(), '\n', ' ');
        if (!found.empty() && found.back() == '.') found.pop_back();
        return {FindingLevel::Problem, "tracker", found,
                "run the doctor again and switch the tracker off and on while it waits; check that the cable is in the "
                "tracker's serial socket."};
    }
    const LinkState& link = session.link;
    std::string found = link.chipName + " answered on " + options.port + " (device \"" + link.deviceInfo.deviceId +
                        "\", bootloader version " + std::to_string(link.bootloaderVersion) + ")";
    if (!findTarget(link.chipName)) {
        return {FindingLevel::Problem, "tracker", found + ", a chip this program does not know",
                "look for a newer varnelcfg."};
    }
    return {FindingLevel::Ok, "tracker", found, ""};
}

int runDoctor(const DoctorArgs& args) {
    std::vector<DoctorFinding> findings = connectionReport(args.device.port);
    if (args.connect) {
        if (args.device.port.empty())
            findings.push_back({FindingLevel::Problem, "tracker", "No port was given to connect on",
                                "name the tracker's port with --port."});
        else if (standsInTheWay(findings))
            // (Not a problem of its own: the one above is.)
            findings.push_back({FindingLevel::Advice, "tracker", "Not tried while a problem above stands in the way",
                                "put it right and run the doctor again."});
        else findings.push_back(connectCheck(args.device));
    }
    std::cout << doctorReportText(findings);
    return standsInTheWay(findings) ? 1 : 0;
}

}  // namespace

void addDoctorCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "doctor", "Check what stands between this computer and a tracker: ports, drivers, permissions, services");
    auto args = std::make_shared<DoctorArgs>();
    addDeviceOptions(cmd, args->device);
    cmd->get_option("--port")->required(false);
    cmd->add_flag("--connect", args->connect, "connect to the tracker on --port as the last check");
    cmd->callback([args, &status] { status = runDoctor(*args); });
}

}  // namespace varnel::cli
