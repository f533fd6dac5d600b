#include <iostream>

#include "cli/commands.h"
#include "serial/port_resolver.h"

namespace varnel::cli {

void addPortsCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("ports", "List the serial ports found, in slot order (COM1 first)");
    cmd->callback([&status] {
        for (const auto& p : listSerialPorts()) std::cout << p.path << '\t' << p.description << '\n';
        status = 0;
    });
}

}  // namespace varnel::cli
