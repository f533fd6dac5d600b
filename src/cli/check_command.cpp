#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "forms/preview/network_rules.h"
#include "forms/tracker/tracker_config_edit.h"
#include "session/session.h"

namespace varnel::cli {

void addCheckCommand(CLI::App& app, int& status) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand(
        "check", "Warn of settings that go against today's APRS network (placeholder callsign, paths, "
                 "intervals); exit 1 with warnings, 2 on trouble");
    cmd->add_option("FILE", *file, "configuration file")->required();
    cmd->callback([file, &status] {
        StderrUi ui;
        auto session = std::make_unique<Session>();
        if (!loadConfigForKeys(*file, *session, ui)) {
            status = kDiffTrouble;
            return;
        }
        const auto warnings = checkNetworkRules(*session);
        for (const auto& w : warnings) std::cout << warningLine(w) << '\n';
        if (warnings.empty()) std::cout << "No warnings.\n";
        status = warnings.empty() ? 0 : 1;
    });
}

}  // namespace varnel::cli
