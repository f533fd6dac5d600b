#include <iostream>

#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "forms/tracker_config_edit.h"

namespace varnel::cli {

void addShowCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("show", "Print one profile of a configuration (.cfg) file as the dialog shows it");
    auto edit = std::make_shared<TrackerConfigEdit>();
    auto profile = std::make_shared<int>(1);
    auto imperial = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    cmd->add_option("FILE", edit->path, "configuration file")->required();
    cmd->add_option("--profile", *profile, "profile 1 or 2")->check(CLI::IsMember({1, 2}));
    cmd->add_flag("--imperial", *imperial, "show miles, MPH and degrees Fahrenheit");
    cmd->add_flag("--json", *json, "print one JSON object");
    cmd->callback([=, &status] {
        StderrUi ui;
        edit->profile = *profile - 1;
        edit->metric = !*imperial;
        status = showTrackerConfig(*edit, *json, std::cout, ui) == 0 ? 0 : 1;
    });
}

}  // namespace varnel::cli
