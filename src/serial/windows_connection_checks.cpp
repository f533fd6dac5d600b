#include "serial/windows_connection_checks.h"

#include <algorithm>
#include <cctype>

#include "serial/usb_serial_chips.h"

namespace varnel {

namespace {

constexpr FindingLevel kOk = FindingLevel::Ok;
constexpr FindingLevel kAdvice = FindingLevel::Advice;
constexpr FindingLevel kProblem = FindingLevel::Problem;

// The connect window lists COM1 to COM16; a port beyond is typed by name.
constexpr int kListedPorts = 16;

std::optional<unsigned> hexAfter(const std::string& text, const std::string& tag) {
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    const std::size_t at = upper.find(tag);
    if (at == std::string::npos || at + tag.size() + 4 > upper.size()) return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = at + tag.size(); i < at + tag.size() + 4; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(upper[i]))) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(upper[i]))
                                                       ? upper[i] - '0'
                                                       : upper[i] - 'A' + 10);
    }
    return value;
}

// What Device Manager's problem codes mean to the user.
std::string problemText(unsigned code) {
    switch (code) {
    case 1: return "it is not set up (code 1)";
    case 10: return "it cannot start (code 10)";
    case 22: return "it is disabled (code 22)";
    case 28: return "its driver is not installed (code 28)";
    case 31: return "its driver did not load (code 31)";
    case 43: return "Windows stopped it after it reported a fault (code 43)";
    default: return "it has a problem (code " + std::to_string(code) + ")";
    }
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// "COM5" from "COM5", "5" or "\\.\COM5".
std::string comName(const std::string& port) {
    const std::string deviceNamespace = "\\\\.\\";
    const std::string name = port.rfind(deviceNamespace, 0) == 0 ? port.substr(deviceNamespace.size()) : port;
    const auto slot = portSlotFromName(name);
    return slot ? "COM" + std::to_string(*slot) : name;
}

const WindowsDevice* deviceWithPort(const WindowsSystemView& system, const std::string& com) {
    for (const WindowsDevice& d : system.devices)
        if (d.portName == com) return &d;
    return nullptr;
}

std::string portText(const WindowsSystemView& system, const PortDescription& port) {
    const WindowsDevice* d = deviceWithPort(system, port.path);
    if (!d) return port.path + " (" + port.description + ")";
    // Device Manager's name carries the port's ("USB Serial Port (COM5)").
    std::string name = d->name;
    if (const std::string own = " (" + port.path + ")"; name.ends_with(own)) name.resize(name.size() - own.size());
    std::string text = port.path + " (" + (name.empty() ? port.description : name);
    if (const auto id = windowsUsbId(d->instanceId)) text += ", " + usbChipText(id->first, id->second);
    if (!d->service.empty()) text += ", driver " + d->service;
    if (!d->manufacturer.empty()) text += " from " + d->manufacturer;
    return text + ")";
}

DoctorFinding comPorts(const WindowsSystemView& system, bool portGiven) {
    const std::vector<PortDescription> ports = describeSerialComm(system.serialComm);
    if (ports.empty())
        return {portGiven ? kOk : kProblem, "COM ports", "Windows has no COM port",
                portGiven ? "" : "plug the tracker's cable in; a USB adapter without its driver is named below."};
    std::vector<std::string> texts;
    texts.reserve(ports.size());
    for (const PortDescription& port : ports) texts.push_back(portText(system, port));
    return {kOk, "COM ports", joined(texts), ""};
}

// USB serial devices that are present but give no COM port: a driver
// problem, or no driver at all.
std::vector<DoctorFinding> adaptersWithoutPort(const WindowsSystemView& system) {
    std::vector<DoctorFinding> findings;
    std::vector<std::pair<unsigned, unsigned>> told;
    for (const WindowsDevice& d : system.devices) {
        const auto id = windowsUsbId(d.instanceId);
        if (!id) continue;
        const UsbSerialChip* chip = findUsbSerialChip(id->first, id->second);
        // An FTDI adapter's COM port belongs to its FTDIBUS child, which has
        // the same vendor and product.
        const bool hasPort = std::any_of(system.devices.begin(), system.devices.end(), [&](const WindowsDevice& other) {
            return !other.portName.empty() && windowsUsbId(other.instanceId) == id;
        });
        if ((d.problem == 0 && (hasPort || !chip)) || std::find(told.begin(), told.end(), *id) != told.end()) continue;
        if (!chip && d.portName.empty()) continue;  // not a serial device we know of
        told.push_back(*id);
        const std::string name = usbChipText(id->first, id->second) + (d.name.empty() ? "" : " \"" + d.name + "\"");
        const std::string driver = chip ? chip->windowsDriver : "its maker's driver";
        const std::string state = d.problem ? problemText(d.problem) : "no driver gave it one";
        const std::string remedy = d.problem == 22
                                       ? "enable it in Device Manager (right-click it, Enable device)."
                                       : "install " + driver + ", then unplug the adapter and plug it in again.";
        findings.push_back({kProblem, "USB adapter", name + " is plugged in but has no COM port: " + state, remedy});
    }
    return findings;
}

DoctorFinding latencyTimer(const std::string& com, unsigned ms, const std::string& deviceName) {
    if (ms <= 1) return {kOk, "latency timer", com + " holds replies for " + std::to_string(ms) + " ms", ""};
    return {kAdvice, "latency timer", com + "'s latency timer is " + std::to_string(ms) + " ms: " + kSlowLatencyCost,
            "in Device Manager open \"" + (deviceName.empty() ? com : deviceName) +
                "\", Port Settings, Advanced..., set Latency Timer (msec) to 1 and OK; then unplug the adapter and "
                "plug it in again."};
}

DoctorFinding missingPort(const WindowsSystemView& system, const std::string& com) {
    // Windows numbers an adapter afresh when it is plugged into another
    // socket (or another adapter of the kind comes), so the tracker's
    // adapter may well be the one USB port there is, under a new name.
    std::vector<std::string> all, usb;
    for (const PortDescription& port : describeSerialComm(system.serialComm)) {
        all.push_back(port.path);
        if (port.description.rfind("USB", 0) == 0) usb.push_back(port.path);
    }
    std::string remedy = "is the tracker's cable plugged in?";
    if (usb.size() == 1)
        remedy += " Windows now calls the USB adapter " + usb.front() +
                  " (it numbers an adapter afresh in another USB socket): use " + usb.front() + ", or give it " + com +
                  " again in Device Manager (the port, Port Settings, Advanced..., COM Port Number).";
    else if (!all.empty()) remedy += " The COM ports found are " + joined(all) + ".";
    return {kProblem, "port", com + " does not exist", remedy};
}

WindowsOpen opened(const WindowsSystemView& system, const std::string& com) {
    return system.open ? system.open(com) : WindowsOpen::Refused;
}

std::vector<DoctorFinding> portAccess(const WindowsSystemView& system, const std::string& com, WindowsOpen result) {
    switch (result) {
    case WindowsOpen::Missing: return {missingPort(system, com)};
    case WindowsOpen::InUse:
        return {{kOk, "port", com + " is there", ""},
                {kProblem, "other programs", com + " is in use by another program", "close it and try again."}};
    case WindowsOpen::Refused:
        return {
            {kProblem, "port", com + " cannot be opened",
             "unplug the adapter and plug it in again; if it stays so, Device Manager says what is wrong with it."}};
    case WindowsOpen::Opens: break;
    }
    return {{kOk, "port", com + " opens", ""}, {kOk, "other programs", "No other program holds " + com, ""}};
}

}  // namespace

std::optional<std::pair<unsigned, unsigned>> windowsUsbId(const std::string& instanceId) {
    const auto vendor = hexAfter(instanceId, "VID_");
    const auto product = hexAfter(instanceId, "PID_");
    if (!vendor || !product) return std::nullopt;
    return std::make_pair(*vendor, *product);
}

std::vector<DoctorFinding> windowsConnectionChecks(const WindowsSystemView& system, const std::string& port,
                                                   bool wholeReport) {
    const std::string com = port.empty() ? std::string() : comName(port);
    std::vector<DoctorFinding> findings;
    if (wholeReport) findings.push_back(comPorts(system, !com.empty()));
    // Adapters without a port: always in the whole report, for one port
    // when that port is missing (the adapter may be the tracker's).
    const WindowsOpen result = com.empty() ? WindowsOpen::Opens : opened(system, com);
    if (wholeReport || result == WindowsOpen::Missing)
        for (DoctorFinding& f : adaptersWithoutPort(system)) findings.push_back(std::move(f));
    if (!com.empty())
        for (DoctorFinding& f : portAccess(system, com, result)) findings.push_back(std::move(f));

    if (const auto slot = portSlotFromName(com); slot && *slot > kListedPorts)
        findings.push_back(
            {kAdvice, "port number",
             com + " is beyond the connect window's list (COM1 to COM" + std::to_string(kListedPorts) + ")",
             "type " + com + " in its Device path box, or give the adapter a number from 1 to " +
                 std::to_string(kListedPorts) +
                 " in Device Manager (the port, Port Settings, Advanced..., COM Port Number; a number "
                 "marked \"in use\" is kept for an adapter that is not plugged in, and may be taken)."});

    for (const WindowsDevice& d : system.devices)
        if (d.latencyTimerMs && !d.portName.empty() && (d.portName == com || (com.empty() && wholeReport)))
            findings.push_back(latencyTimer(d.portName, *d.latencyTimerMs, d.name));
    return findings;
}

std::string windowsPortOpenFailure(const WindowsSystemView& system, const std::string& port) {
    const std::string com = comName(port);
    for (const DoctorFinding& f : portAccess(system, com, opened(system, com)))
        if (f.level == kProblem) return f.sentence();
    return {};
}

}  // namespace varnel
