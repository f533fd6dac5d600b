#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "forms/tracker/tracker_config_edit.h"

namespace varnel::cli {

void addSetCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand(
        "set", "Change settings of one profile in a configuration (.cfg) file, checked as the dialog checks them");
    auto edit = std::make_shared<TrackerConfigEdit>();
    auto profile = std::make_shared<int>(1);
    auto imperial = std::make_shared<bool>(false);
    auto assignments = std::make_shared<std::vector<std::string>>();
    cmd->add_option("FILE", edit->path, "configuration file")->required();
    cmd->add_option("--profile", *profile, "profile 1 or 2")->check(CLI::IsMember({1, 2}));
    cmd->add_flag("--imperial", *imperial, "values are in miles and degrees Fahrenheit");
    cmd->add_option("KEY=VALUE", *assignments, "settings to change, applied in order")->required();
    cmd->callback([=, &status] {
        StderrUi ui;
        edit->profile = *profile - 1;
        edit->metric = !*imperial;
        status = setTrackerConfig(*edit, *assignments, ui) == 0 ? 0 : 1;
    });
}

}  // namespace varnel::cli
