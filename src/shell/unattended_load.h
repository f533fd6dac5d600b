#pragma once

#include <string>

#include "shell/app_context.h"

namespace varnel {

// Flashes the firmware named on the legacy command line: connect on
// "COM%c", load the file, keep the tracker's settings or take the file's,
// write with the progress dialog, leave the bootloader. resolvedPort is the
// device the port character stands for. 0 when the firmware was written.
int runUnattendedLoad(AppContext& context, const std::string& commandLine, const std::string& resolvedPort);

}  // namespace varnel
