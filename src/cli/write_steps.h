#pragma once

#include <string>

#include "session/config_file.h"

namespace varnel {
struct Session;
}

namespace varnel::cli {

// The chip named by a configuration file's device id, or "" when the file
// cannot be read; the loader itself reports unreadable files.
std::string configFileChip(const std::string& path);

// Puts the session's records into its (reset) flash image as a write sends
// them: a weather station gets exactly what its dialog's Write programs.
void packForWrite(Session& session, ConfigFlavour flavour);

}  // namespace varnel::cli
