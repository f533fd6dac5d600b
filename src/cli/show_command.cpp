#include <iostream>

#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "forms/tracker/tracker_config_edit.h"

namespace varnel::cli {

void addShowCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("show", "Print one profile of a configuration (.cfg) file as the dialog shows it");
    auto edit = std::make_shared<TrackerConfigEdit>();
    auto profile = std::make_shared<int>(1);
    auto imperial = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    // Not required, so that --keys needs no file; the callback asks for one.
    cmd->add_option("FILE", edit->path, "configuration file");
    cmd->add_option("--profile", *profile, "profile 1 or 2")->check(CLI::IsMember({1, 2}));
    cmd->add_flag("--imperial", *imperial, "show miles, MPH and degrees Fahrenheit");
    cmd->add_flag("--json", *json, "print one JSON object");
    auto keys = std::make_shared<bool>(false);
    cmd->add_flag("--keys", *keys,
                  "list every key show and set know (with FILE: those of its chip and firmware), with its range "
                  "and unit, and exit");
    cmd->callback([=, &status] {
        StderrUi ui;
        if (*keys) {
            if (edit->path.empty()) listConfigKeys(std::cout);
            status = edit->path.empty() || listConfigKeysOf(edit->path, std::cout, ui) == 0 ? 0 : 1;
            return;
        }
        if (edit->path.empty()) {
            ui.message("show: a configuration FILE is required (or --keys)");
            status = 1;
            return;
        }
        edit->profile = *profile - 1;
        edit->metric = !*imperial;
        status = showTrackerConfig(*edit, *json, std::cout, ui) == 0 ? 0 : 1;
    });
}

}  // namespace varnel::cli
