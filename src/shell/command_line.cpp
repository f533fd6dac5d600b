#include "shell/command_line.h"

namespace varnel {

AppOptions parseAppOptions(const std::vector<std::string>& args) {
    AppOptions o;
    std::string rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
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

UnattendedRequest parseUnattended(const std::string& commandLine) {
    UnattendedRequest r;
    if (!commandLine.empty()) r.portDigit = commandLine[0];
    r.keepSettings = commandLine.size() > 2 && commandLine[2] == '1';
    if (commandLine.size() > 4) r.firmwarePath = commandLine.substr(4);
    return r;
}

}  // namespace varnel
