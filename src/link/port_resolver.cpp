#include "link/port_resolver.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace varnel {

namespace fs = std::filesystem;

namespace {

// Families of device names in slot order. Pseudo-terminals and virtual
// consoles are never listed: a user names those by path.
constexpr const char* kFamilies[] = {"ttyUSB", "ttyACM", "ttyS", "cu.usbserial", "cu.usbmodem",
                                     "cu."};

int familyRank(const std::string& base) {
    int rank = 0;
    for (const char* f : kFamilies) {
        if (base.rfind(f, 0) == 0) return rank;
        ++rank;
    }
    return rank;
}

// Splits "ttyUSB10" into ("ttyUSB", 10) so numbers sort by value.
std::pair<std::string, long> splitTrailingNumber(const std::string& base) {
    std::size_t i = base.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(base[i - 1]))) --i;
    if (i == base.size()) return {base, -1};
    return {base.substr(0, i), std::stol(base.substr(i, 9))};
}

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

std::optional<int> portSlotFromName(const std::string& name) {
    std::string digits;
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
        digits = name;
    } else if (name.size() > 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
               std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
               std::toupper(static_cast<unsigned char>(name[2])) == 'M' &&
               std::isdigit(static_cast<unsigned char>(name[3]))) {
        digits = name.substr(3);
    } else {
        return std::nullopt;
    }
    // Read the leading digits only, as the tool always has ("3 " is slot 3).
    int slot = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        if (slot > 9999) break;
        slot = slot * 10 + (c - '0');
    }
    return slot;
}

void sortPortPaths(std::vector<std::string>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        const std::string ba = fs::path(a).filename().string();
        const std::string bb = fs::path(b).filename().string();
        const int ra = familyRank(ba), rb = familyRank(bb);
        if (ra != rb) return ra < rb;
        const auto na = splitTrailingNumber(ba), nb = splitTrailingNumber(bb);
        if (na.first != nb.first) return na.first < nb.first;
        return na.second < nb.second;
    });
}

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

std::string resolvePortName(const std::string& name, const std::vector<PortDescription>& ports) {
    const auto slot = portSlotFromName(name);
    if (!slot) return name;
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(*slot);
#else
    if (*slot >= 1 && static_cast<std::size_t>(*slot) <= ports.size()) return ports[*slot - 1].path;
    return name;
#endif
}

std::string resolvePortName(const std::string& name) {
    if (!portSlotFromName(name)) return name;
    return resolvePortName(name, listSerialPorts());
}

}  // namespace varnel
