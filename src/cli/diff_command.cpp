#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "forms/tracker/tracker_config_diff.h"
#include "forms/tracker/tracker_config_edit.h"
#include "session/session.h"

namespace varnel::cli {

int printDifferences(Session& before, Session& after, bool metric) {
    const auto differences = diffTrackerSettings(before, after, metric);
    for (const auto& d : differences) std::cout << differenceLine(d) << '\n';
    return differences.empty() ? 0 : 1;
}

void addDiffCommand(CLI::App& app, int& status) {
    struct DiffArgs {
        std::string a, b;
        bool imperial = false;
    };
    auto args = std::make_shared<DiffArgs>();
    auto* cmd = app.add_subcommand(
        "diff", "Print every setting that differs between two .cfg files; exit 1 when any does, 2 on trouble");
    cmd->add_option("A", args->a, "configuration file")->required();
    cmd->add_option("B", args->b, "configuration file")->required();
    cmd->add_flag("--imperial", args->imperial, "show miles, MPH and degrees Fahrenheit");
    cmd->callback([args, &status] {
        StderrUi ui;
        auto a = std::make_unique<Session>();
        auto b = std::make_unique<Session>();
        if (!loadConfigForKeys(args->a, *a, ui) || !loadConfigForKeys(args->b, *b, ui)) {
            status = kDiffTrouble;
            return;
        }
        status = printDifferences(*a, *b, !args->imperial);
    });
}

}  // namespace varnel::cli
