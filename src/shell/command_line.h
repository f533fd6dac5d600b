#pragma once

#include <string>
#include <vector>

namespace varnel {

// What varnelcfg was started with. Its own options come off first; what is
// left, joined by single blanks, is the legacy command line of the unattended
// firmware load ("3 1 C:\fw\tracker.s19").
struct AppOptions {
    std::string portPath;        // --port PATH: shown first in the connect dialog, slot 1
    std::string firmwareServer;  // --firmware-server HOST[:PORT]
    std::string mirrorServer;    // --mirror-server HOST[:PORT]
    std::string legacyCommandLine;
    std::string error;     // an option without its value
    bool help = false;     // --help, -h: print appUsage() and stop
    bool version = false;  // --version: print appVersionText() and stop
};

AppOptions parseAppOptions(const std::vector<std::string>& args);

// What --help prints: the options above and the legacy command line. The
// manual page's check reads its options from here. Both --help and --version
// are answered before any window or display is needed.
std::string appUsage();
std::string appVersionText();

// The legacy command line is an unattended load from 8 characters on.
inline constexpr std::size_t kUnattendedMinLength = 8;

struct UnattendedRequest {
    char portDigit = '1';       // "COM%c"
    bool keepSettings = false;  // '1' at position 2
    std::string firmwarePath;   // from position 4, exactly as given
};

UnattendedRequest parseUnattended(const std::string& commandLine);

}  // namespace varnel
