#pragma once

#include <string>

#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/dialog_loop.h"

namespace varnel {

// The desktop program: settings, then either the unattended firmware load of
// the legacy command line or the connect window and the dialog loop. There is
// no main window; the program ends when run() returns.
class CConfigApp {
public:
    CConfigApp(AppContext& context, AppOptions options);

    // The dialogs the loop shows; the defaults are the front end's windows.
    ConfigDialogs& dialogs() { return dialogs_; }

    // The process's exit status: 0, or 1 when an unattended load did not
    // write its firmware (or the command line was not understood).
    int run();

    // The device the legacy "COM%c" names: "COMn" is slot n of the slots the
    // connect window would show (the --port device first).
    std::string resolveLegacyPort(char portDigit) const;

private:
    AppContext& context_;
    AppOptions options_;
    ConfigDialogs dialogs_;
};

}  // namespace varnel
