#pragma once

#include <string>
#include <vector>

#include "app/dialog_loop.h"
#include "app/command_line.h"
#include "ui/app_context.h"

namespace varnel {

// The desktop program: settings, then either the unattended firmware load of
// the legacy command line or the connect dialog and the dialog loop. There is
// no main window; the program ends when run() returns.
class CConfigApp {
public:
    CConfigApp(AppContext& context, AppOptions options);

    // The dialogs the loop shows; the defaults are this build's windows.
    ConfigDialogs& dialogs() { return dialogs_; }

    // The process's exit status: 0, or 1 when an unattended load did not
    // write its firmware (or the command line was not understood).
    int run();

    // The device the legacy "COM%c" names: "COMn" is slot n of the slots the
    // connect dialog would show (the --port device first).
    std::string resolveLegacyPort(char portDigit) const;

private:
    AppContext& context_;
    AppOptions options_;
    ConfigDialogs dialogs_;
};

}  // namespace varnel
