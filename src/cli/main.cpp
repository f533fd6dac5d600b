#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

#include "cli/commands.h"

namespace {

int run(int argc, char** argv) {
    CLI::App app{"varnelcfg-cli: configure Varnel APRS trackers from the command line"};
    app.set_version_flag("--version", std::string("varnelcfg-cli ") + VARNEL_VERSION);
    app.require_subcommand(1);

    int status = 0;
    varnel::cli::addInfoCommand(app, status);
    varnel::cli::addFlashCommand(app, status);
    varnel::cli::addReadCommand(app, status);
    varnel::cli::addWriteCommand(app, status);
    varnel::cli::addExportBinCommand(app, status);
    varnel::cli::addDiagCommand(app, status);
    varnel::cli::addPortsCommand(app, status);
    varnel::cli::addDoctorCommand(app, status);
    varnel::cli::addBackupsCommand(app, status);
    varnel::cli::addFleetCommand(app, status);
    varnel::cli::addShowCommand(app, status);
    varnel::cli::addSetCommand(app, status);
    varnel::cli::addScriptCommand(app, status);
    varnel::cli::addDiffCommand(app, status);
    varnel::cli::addCheckCommand(app, status);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        // Nothing ends without saying why.
        std::cerr << "varnelcfg-cli: " << e.what() << '\n';
        return 1;
    }
    return status;
}

}  // namespace

// Setting the options up can throw too (a bad option name is a programming
// error, a full disk while printing help is not): nothing ends without saying why.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "varnelcfg-cli: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "varnelcfg-cli: unexpected failure\n";
    }
    return 1;
}
