#include "serial/port_resolver.h"

#include <filesystem>
#include <fstream>
#include <map>

// The serial devices of a Linux or macOS machine, as /dev and sysfs show them.

namespace varnel {

namespace fs = std::filesystem;

namespace {

std::string readFirstLine(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    return line;
}

// The 8250 driver creates ttyS0..ttyS31 whether or not a UART exists; sysfs
// reports the port type as 0 for the empty ones.
bool isRealUart(const std::string& base) {
    const std::string type = readFirstLine(fs::path("/sys/class/tty") / base / "type");
    return !type.empty() && type != "0";
}

}  // namespace

std::vector<PortDescription> listSerialPorts() {
    std::vector<std::string> paths;
    std::error_code ec;
#ifdef __APPLE__
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        const std::string base = e.path().filename().string();
        if (base.rfind("cu.", 0) == 0 && base != "cu.Bluetooth-Incoming-Port")
            paths.push_back(e.path().string());
    }
#else
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        const std::string base = e.path().filename().string();
        if (base.rfind("ttyUSB", 0) == 0 || base.rfind("ttyACM", 0) == 0 ||
            (base.rfind("ttyS", 0) == 0 && isRealUart(base)))
            paths.push_back(e.path().string());
    }
#endif
    sortPortPaths(paths);

    // The stable names under /dev/serial/by-id tell the user which adapter
    // is which; use them as descriptions of the devices they point to.
    std::map<std::string, std::string> byId;
    for (const auto& e : fs::directory_iterator("/dev/serial/by-id", ec)) {
        std::error_code ec2;
        const fs::path target = fs::canonical(e.path(), ec2);
        if (!ec2) byId[target.string()] = e.path().filename().string();
    }

    std::vector<PortDescription> ports;
    for (const auto& p : paths) {
        std::string description;
        if (auto it = byId.find(p); it != byId.end()) {
            description = it->second;
        } else {
            const std::string base = fs::path(p).filename().string();
            if (base.rfind("ttyUSB", 0) == 0) description = "USB serial adapter";
            else if (base.rfind("ttyACM", 0) == 0) description = "USB modem (CDC ACM)";
            else description = "serial port";
        }
        ports.push_back({p, description});
    }
    return ports;
}

}  // namespace varnel
