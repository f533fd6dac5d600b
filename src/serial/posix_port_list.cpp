#include "serial/port_resolver.h"

#include <filesystem>

#include "serial/linux_sysfs.h"

// The serial devices of a Linux or macOS machine, as /dev (and on Linux
// sysfs) show them.

namespace varnel {

std::vector<PortDescription> listSerialPorts() {
#ifdef __APPLE__
    namespace fs = std::filesystem;
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        const std::string base = e.path().filename().string();
        if (base.rfind("cu.", 0) == 0 && base != "cu.Bluetooth-Incoming-Port") paths.push_back(e.path().string());
    }
    sortPortPaths(paths);
    std::vector<PortDescription> ports;
    for (const auto& p : paths) ports.push_back({p, "serial port"});
    return ports;
#else
    return linuxSerialPorts("/");
#endif
}

}  // namespace varnel
