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

std::string appHelpText() {
    return "Usage: varnelcfg [--port PATH] [--firmware-server HOST[:PORT]] [--mirror-server HOST[:PORT]]\n"
           "                 [\"P K FIRMWARE.s19\"]\n"
           "\n"
           "Configures a Varnel APRS tracker through its serial bootloader: the connect\n"
           "dialog, then the dialogs of the tracker's firmware.\n"
           "\n"
           "  --port PATH                    offer this serial device first (slot 1)\n"
           "  --firmware-server HOST[:PORT]  where the firmware list comes from\n"
           "  --mirror-server HOST[:PORT]    where the firmware files come from\n"
           "  -h, --help                     print this help and end\n"
           "  --version                      print the version and end\n"
           "\n"
           "\"P K FIRMWARE.s19\" loads firmware without questions: P is the port's slot\n"
           "digit, K is 1 to keep the tracker's settings, then the S-record file.\n"
           "varnelcfg-cli does the same from a shell, without windows.\n";
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
