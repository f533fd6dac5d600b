#include <iostream>

#include "cli/commands.h"

namespace varnel::cli {

void addInfoCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("info", "Summarise a configuration (.cfg) or firmware (.s19) file");
    auto path = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "configuration or S-record file")->required();
    cmd->callback([path, &status] {
        std::cerr << "info: not built yet for " << *path << '\n';
        status = 1;
    });
}

}  // namespace varnel::cli
