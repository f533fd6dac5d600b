#pragma once

#include <CLI/CLI.hpp>

namespace varnel::cli {

// Each subcommand lives in its own file and adds itself to the app here. The
// callback it installs sets `status` (0 success, 1 failure).
void addInfoCommand(CLI::App& app, int& status);
void addShowCommand(CLI::App& app, int& status);
void addSetCommand(CLI::App& app, int& status);
void addScriptCommand(CLI::App& app, int& status);

}  // namespace varnel::cli
