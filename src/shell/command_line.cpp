#include "shell/command_line.h"

namespace varnel {

AppOptions parseAppOptions(const std::vector<std::string>& args) {
    AppOptions o;
    std::string rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            continue;
        }
        if (a == "--version") {
            o.version = true;
            continue;
        }
        std::string* target = a == "--port"              ? &o.portPath
                              : a == "--firmware-server" ? &o.firmwareServer
                              : a == "--mirror-server"   ? &o.mirrorServer
                                                         : nullptr;
        if (target != nullptr) {
            if (i + 1 >= args.size()) {
                o.error = a + " needs a value";
                break;
            }
            *target = args[++i];
            continue;
        }
        if (!rest.empty()) rest += ' ';
        rest += a;
    }
    o.legacyCommandLine = rest;
    return o;
}

std::string appUsage() {
    return "Usage: varnelcfg [OPTIONS] [PORT KEEP FIRMWARE]\n"
           "Configure Varnel APRS trackers and load their firmware.\n"
           "\n"
           "Options:\n"
           "  -h, --help                    Print this help and exit\n"
           "      --version                 Print the version and exit\n"
           "      --port PATH               Offer this serial device first in the connect dialog\n"
           "      --firmware-server HOST[:PORT]\n"
           "                                Where the firmware lists come from\n"
           "      --mirror-server HOST[:PORT]\n"
           "                                Where the firmware files come from\n"
           "\n"
           "PORT KEEP FIRMWARE loads firmware without questions: PORT is the port's\n"
           "digit, KEEP is 1 to keep the tracker's settings, FIRMWARE the S-record file.\n";
}

std::string appVersionText() { return std::string("varnelcfg ") + VARNEL_VERSION + "\n"; }

UnattendedRequest parseUnattended(const std::string& commandLine) {
    UnattendedRequest r;
    if (!commandLine.empty()) r.portDigit = commandLine[0];
    r.keepSettings = commandLine.size() > 2 && commandLine[2] == '1';
    if (commandLine.size() > 4) r.firmwarePath = commandLine.substr(4);
    return r;
}

}  // namespace varnel
