#include <algorithm>
#include <iostream>
#include <memory>
#include <set>

#include "cli/commands.h"
#include "cli/fleet/fleet_display.h"
#include "cli/fleet/fleet_interrupt.h"
#include "cli/fleet/fleet_log.h"
#include "cli/fleet/fleet_runner.h"
#include "cli/fleet/fleet_write_unit.h"
#include "cli/fleet/units_file.h"
#include "cli/terminal_progress.h"
#include "forms/tracker/tracker_config_edit.h"
#include "link/tracker_backup.h"
#include "serial/port_resolver.h"

namespace varnel::cli {

namespace {

constexpr const char* kAutoPorts = "auto";

struct FleetArgs {
    std::vector<std::string> ports;
    std::string unitsPath;
    std::string logPath;
    bool each = false;
    bool imperial = false;
    bool noBackup = false;
    bool slow = false;
    int timeoutSeconds = 60;
    std::string file;
};

// Every port where a USB-serial adapter is found, as the doctor sees them.
std::vector<std::string> usbSerialPorts() {
    std::vector<std::string> ports;
    for (const PortDescription& p : listSerialPorts())
        if (!p.usbId.empty()) ports.push_back(p.path);
    return ports;
}

// The units of the run: one per port, each with its row of the units file.
// False after saying why on stderr.
bool fleetUnits(const FleetArgs& args, std::vector<UnitRow>& units) {
    std::vector<UnitRow> rows;
    if (!args.unitsPath.empty()) {
        std::string error;
        if (!loadUnitsFile(args.unitsPath, rows, error)) {
            std::cerr << "varnelcfg-cli fleet: " << args.unitsPath << ": " << error << '\n';
            return false;
        }
    }
    std::vector<std::string> ports = args.ports;
    if (ports.size() == 1 && ports.front() == kAutoPorts) {
        ports = usbSerialPorts();
        if (ports.empty()) {
            std::cerr << "varnelcfg-cli fleet: no USB-serial adapter was found; try varnelcfg-cli doctor\n";
            return false;
        }
    } else if (ports.empty()) {
        for (const UnitRow& row : rows) ports.push_back(row.port);
    }
    if (ports.empty()) {
        std::cerr << "varnelcfg-cli fleet: no units: give --ports or --units\n";
        return false;
    }
    std::set<std::string> seen;
    for (const std::string& port : ports) {
        if (!seen.insert(port).second) {
            std::cerr << "varnelcfg-cli fleet: the port " << port << " is named twice\n";
            return false;
        }
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const UnitRow& r) { return r.port == port; });
        if (!rows.empty() && row == rows.end()) {
            // Two trackers must never be given one callsign unawares.
            std::cerr << "varnelcfg-cli fleet: " << port << " has no row in " << args.unitsPath << '\n';
            return false;
        }
        units.push_back(row != rows.end() ? *row : UnitRow{port, {}, {}});
    }
    return true;
}

// Runs the jobs, shows them as they go, prints the table and keeps the log.
// 0 only when every unit succeeded.
int runUnits(std::vector<std::unique_ptr<UnitJob>>& jobs, std::vector<UnitRecord>& records, const FleetArgs& args,
             FleetDisplay& display, const InterruptWatch& interrupt) {
    runFleet(jobs, records, args.each, interrupt.flag());
    jobs.clear();  // every unit leaves its bootloader and closes its port
    display.finish();
    printFleetTable(records);
    int status = 0;
    for (const UnitRecord& r : records)
        if (r.result != UnitResult::Done) status = 1;
    if (!args.logPath.empty() && !writeFleetLog(args.logPath, records)) {
        std::cerr << "varnelcfg-cli fleet: could not write the log " << args.logPath << '\n';
        status = 1;
    }
    return status;
}

int runFleetWrite(const FleetArgs& args) {
    if (const std::string refusal = configShowRefusal(args.file); !refusal.empty()) {
        std::cerr << refusal << '\n';
        return 1;
    }
    std::vector<UnitRow> units;
    if (!fleetUnits(args, units)) return 1;
    FleetWriteOptions options{args.file,      args.slow,      args.timeoutSeconds,
                              !args.imperial, !args.noBackup, defaultBackupFolder()};
    std::vector<std::string> ports;
    ports.reserve(units.size());
    for (const UnitRow& u : units) ports.push_back(u.port);
    FleetDisplay display(ports, stderrIsTerminal());
    const InterruptWatch interrupt;
    std::vector<std::unique_ptr<UnitJob>> jobs;
    std::vector<UnitRecord> records(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
        jobs.push_back(std::make_unique<FleetWriteUnit>(options, units[i], i, display, interrupt.flag()));
    return runUnits(jobs, records, args, display, interrupt);
}

void addCommonOptions(CLI::App* cmd, FleetArgs& args) {
    cmd->add_option("--ports", args.ports,
                    "the trackers' serial ports, comma separated, or \"auto\": every USB-serial adapter found")
        ->delimiter(',');
    cmd->add_option("--log", args.logPath, "keep one record per unit in FILE.json, or FILE.csv");
    cmd->add_flag("--slow", args.slow, "stay at 19200 baud (no fast link)");
    cmd->add_option("--timeout", args.timeoutSeconds, "seconds to wait for a tracker that does not answer")
        ->check(CLI::PositiveNumber);
}

}  // namespace

void addFleetCommand(CLI::App& app, int& status) {
    auto* fleet = app.add_subcommand("fleet", "Write, flash or read many trackers at once, one per port");
    fleet->require_subcommand(1);

    auto* write = fleet->add_subcommand(
        "write", "Write one configuration file into every unit, each with its own row of --units, all at once");
    auto args = std::make_shared<FleetArgs>();
    addCommonOptions(write, *args);
    write->add_option("--units", args->unitsPath,
                      "CSV file: the port, then keys as set takes them (\"profile2.KEY\" for profile 2), one row "
                      "per unit");
    write->add_flag("--each", args->each, "write the units that pass their check even when others do not");
    write->add_flag("--imperial", args->imperial, "the units file's values are in miles and degrees Fahrenheit");
    write->add_flag("--no-backup", args->noBackup,
                    "write without first saving each tracker's settings in " + defaultBackupFolder());
    write->add_option("FILE", args->file, "configuration file (.cfg)")->required();
    write->callback([args, &status] { status = runFleetWrite(*args); });
}

}  // namespace varnel::cli
