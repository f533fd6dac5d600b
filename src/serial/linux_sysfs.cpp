#include "serial/linux_sysfs.h"

#include <fstream>
#include <map>
#include <set>

#include "serial/usb_serial_chips.h"

namespace varnel {

namespace fs = std::filesystem;

namespace {

fs::path under(const fs::path& root, const std::string& path) { return root / fs::path(path).relative_path(); }

std::string firstLine(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    return line;
}

unsigned hexNumber(const std::string& text) {
    try {
        return static_cast<unsigned>(std::stoul(text, nullptr, 16));
    } catch (...) {
        return 0;
    }
}

// The name of the driver a sysfs device is bound to: its "driver" link's
// last part, "" when none is bound.
std::string boundDriver(const fs::path& device) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(device / "driver", ec);
    return ec ? std::string() : target.filename().string();
}

// The 8250 driver creates ttyS0..ttyS31 whether or not a UART exists; sysfs
// reports the port type as 0 for the empty ones.
bool isRealUart(const fs::path& root, const std::string& name) {
    const std::string type = readLinuxFile(root, "/sys/class/tty/" + name + "/type");
    return !type.empty() && type != "0";
}

// From a tty's device up to the USB device it belongs to: the first folder
// with an idVendor, and on the way the interface (the folder with a
// bInterfaceNumber), whose driver is the one that made the tty.
void fillUsb(const fs::path& root, LinuxSerialTty& tty) {
    std::error_code ec;
    fs::path at = fs::canonical(under(root, "/sys/class/tty/" + tty.name + "/device"), ec);
    if (ec) return;
    const fs::path sys = fs::weakly_canonical(root / "sys", ec);
    if (const std::string ms = firstLine(at / "latency_timer"); !ms.empty()) {
        try {
            tty.latencyTimerMs = std::stoi(ms);
        } catch (...) {
        }
    }
    fs::path interface;
    for (; at.has_relative_path() && at != sys && at != at.parent_path(); at = at.parent_path()) {
        if (fs::exists(at / "bInterfaceNumber")) interface = at;
        if (!fs::exists(at / "idVendor")) continue;
        tty.usb = true;
        tty.vendor = hexNumber(firstLine(at / "idVendor"));
        tty.product = hexNumber(firstLine(at / "idProduct"));
        tty.productName = firstLine(at / "product");
        tty.usbDevice = at.filename().string();
        if (!interface.empty()) tty.driver = boundDriver(interface);
        return;
    }
}

}  // namespace

std::string readLinuxFile(const fs::path& root, const std::string& path) { return firstLine(under(root, path)); }

std::vector<LinuxSerialTty> linuxSerialTtys(const fs::path& root) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(root / "dev", ec)) {
        const std::string base = e.path().filename().string();
        if (base.rfind("ttyUSB", 0) == 0 || base.rfind("ttyACM", 0) == 0 ||
            (base.rfind("ttyS", 0) == 0 && isRealUart(root, base)))
            paths.push_back("/dev/" + base);
    }
    sortPortPaths(paths);
    std::vector<LinuxSerialTty> ttys;
    for (const std::string& path : paths) {
        LinuxSerialTty tty;
        tty.path = path;
        tty.name = fs::path(path).filename().string();
        tty.deviceNumber = readLinuxFile(root, "/sys/class/tty/" + tty.name + "/dev");
        fillUsb(root, tty);
        ttys.push_back(std::move(tty));
    }
    return ttys;
}

std::vector<LinuxUsbAdapter> linuxUsbAdapters(const fs::path& root) {
    std::vector<LinuxUsbAdapter> adapters;
    std::error_code ec;
    std::set<fs::path> seen;
    for (const auto& link : fs::directory_iterator(under(root, "/sys/bus/usb/devices"), ec)) {
        const std::string name = link.path().filename().string();
        // Interfaces ("1-1:1.0") and root hubs ("usb1") have entries of their own.
        if (name.find(':') != std::string::npos || name.rfind("usb", 0) == 0) continue;
        std::error_code linkError;
        const fs::path device = fs::canonical(link.path(), linkError);
        if (linkError || !seen.insert(device).second || !fs::exists(device / "idVendor")) continue;
        LinuxUsbAdapter adapter;
        adapter.usbDevice = name;
        adapter.vendor = hexNumber(firstLine(device / "idVendor"));
        adapter.product = hexNumber(firstLine(device / "idProduct"));
        adapter.productName = firstLine(device / "product");
        bool communications = false;
        for (const auto& entry : fs::directory_iterator(device, linkError)) {
            const fs::path& interface = entry.path();
            if (!fs::exists(interface / "bInterfaceNumber")) continue;
            communications = communications || firstLine(interface / "bInterfaceClass") == "02";
            adapter.drivers.push_back(boundDriver(interface));
            std::error_code ttyError;
            // usb-serial ports sit in the interface as ttyUSBn, CDC ACM ones under tty/.
            for (const auto& port : fs::directory_iterator(interface, ttyError))
                if (port.path().filename().string().rfind("ttyUSB", 0) == 0)
                    adapter.ttys.push_back(port.path().filename().string());
            for (const auto& port : fs::directory_iterator(interface / "tty", ttyError))
                adapter.ttys.push_back(port.path().filename().string());
        }
        if (communications || findUsbSerialChip(adapter.vendor, adapter.product))
            adapters.push_back(std::move(adapter));
    }
    return adapters;
}

std::vector<PortDescription> linuxSerialPorts(const fs::path& root) {
    // The stable names under /dev/serial/by-id tell the user which adapter
    // is which; use them as descriptions of the devices they point to.
    std::map<std::string, std::string> byId;
    std::error_code ec;
    const fs::path dev = fs::weakly_canonical(root / "dev", ec);
    for (const auto& e : fs::directory_iterator(root / "dev/serial/by-id", ec)) {
        std::error_code ec2;
        const fs::path target = fs::canonical(e.path(), ec2);
        if (!ec2) byId["/dev/" + target.lexically_relative(dev).generic_string()] = e.path().filename().string();
    }
    std::vector<PortDescription> ports;
    for (const LinuxSerialTty& tty : linuxSerialTtys(root)) {
        PortDescription port{tty.path, {}};
        if (auto it = byId.find(tty.path); it != byId.end()) port.description = it->second;
        else if (tty.name.rfind("ttyUSB", 0) == 0) port.description = "USB serial adapter";
        else if (tty.name.rfind("ttyACM", 0) == 0) port.description = "USB modem (CDC ACM)";
        else port.description = "serial port";
        if (tty.usb) port.usbId = usbIdText(tty.vendor, tty.product);
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace varnel
