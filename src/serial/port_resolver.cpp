#include "serial/port_resolver.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace varnel {

namespace fs = std::filesystem;

namespace {

// Families of device names in slot order. Pseudo-terminals and virtual
// consoles are never listed: a user names those by path.
constexpr const char* kFamilies[] = {"ttyUSB", "ttyACM", "ttyS", "cu.usbserial", "cu.usbmodem", "cu."};

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

std::vector<PortDescription> describeSerialComm(std::vector<SerialCommEntry> entries) {
    // The common drivers' device names, and what the user knows them as.
    struct Driver {
        const char* prefix;
        const char* kind;
    };
    static const Driver drivers[] = {
        {"Serial", "serial port"},
        {"VCP", "USB serial adapter (FTDI)"},
        {"Silabser", "USB serial adapter (Silicon Labs)"},
        {"ProlificSerial", "USB serial adapter (Prolific)"},
        {"CH341SER", "USB serial adapter (WCH)"},
        {"USBSER", "USB modem (CDC ACM)"},
    };
    const auto number = [](const SerialCommEntry& e) {
        return portSlotFromName(e.port).value_or(1 << 30);  // names other than COMn go last
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const SerialCommEntry& a, const SerialCommEntry& b) { return number(a) < number(b); });
    std::vector<PortDescription> ports;
    for (const auto& e : entries) {
        const std::string base = e.device.substr(e.device.rfind('\\') + 1);
        std::string kind = "serial port";
        for (const auto& d : drivers)
            if (base.rfind(d.prefix, 0) == 0) kind = d.kind;
        ports.push_back({e.port, kind + " (" + e.device + ")"});
    }
    return ports;
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

std::string resolvePortName(const std::string& name, const std::vector<PortDescription>& ports) {
    const auto slot = portSlotFromName(name);
    if (!slot) return name;
#ifdef _WIN32
    // Slot n is COMn. Only COM1..COM9 are reserved names of their own; the
    // device namespace form opens every port, COM10 and above included.
    (void)ports;
    return "\\\\.\\COM" + std::to_string(*slot);
#else
    if (*slot >= 1 && static_cast<std::size_t>(*slot) <= ports.size()) return ports[*slot - 1].path;
    return name;
#endif
}

std::string resolvePortName(const std::string& name) {
    if (!portSlotFromName(name)) return name;
#ifdef _WIN32
    return resolvePortName(name, {});  // COMn needs no look-up
#else
    return resolvePortName(name, listSerialPorts());
#endif
}

}  // namespace varnel
