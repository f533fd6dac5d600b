#include "serial/linux_connection_checks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "serial/linux_sysfs.h"
#include "serial/usb_serial_chips.h"

namespace varnel {

namespace fs = std::filesystem;

namespace {

constexpr FindingLevel kOk = FindingLevel::Ok;
constexpr FindingLevel kAdvice = FindingLevel::Advice;
constexpr FindingLevel kProblem = FindingLevel::Problem;

// Where a file the user would type as /etc/... lives in the view.
fs::path at(const LinuxSystemView& system, const std::string& path) {
    return system.root() / fs::path(path).relative_path();
}

bool exists(const LinuxSystemView& system, const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(at(system, path), ec));
}

// A unit or rule file that points at /dev/null is masked: it never runs.
bool masked(const LinuxSystemView& system, const std::string& path) {
    std::error_code ec;
    return fs::read_symlink(at(system, path), ec) == "/dev/null";
}

bool running(const LinuxSystemView& system, const std::string& command) {
    std::error_code ec;
    for (const auto& process : fs::directory_iterator(at(system, "/proc"), ec)) {
        const std::string pid = process.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string name;
        std::getline(std::ifstream(process.path() / "comm"), name);
        if (name == command) return true;
    }
    return false;
}

// What udev's database holds of a device ("E:ID_MM_DEVICE_IGNORE=1" lines),
// by its major:minor.
bool udevProperty(const LinuxSystemView& system, const std::string& deviceNumber, const std::string& property) {
    if (deviceNumber.empty()) return false;
    std::ifstream data(at(system, "/run/udev/data/c" + deviceNumber));
    for (std::string line; std::getline(data, line);)
        if (line == "E:" + property + "=1") return true;
    return false;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// "FTDI FT232R (0403:6001) "FT232R USB UART"": the chip by its common name,
// then the device's own.
std::string adapterText(unsigned vendor, unsigned product, const std::string& productName) {
    std::string text = usbChipText(vendor, product);
    if (!productName.empty()) text += " \"" + productName + "\"";
    return text;
}

std::string ttyText(const LinuxSerialTty& tty) {
    if (!tty.usb) return tty.path + (tty.name.rfind("ttyS", 0) == 0 ? " (on-board serial port)" : "");
    return tty.path + " (" + adapterText(tty.vendor, tty.product, tty.productName) +
           (tty.driver.empty() ? "" : ", driver " + tty.driver) + ")";
}

// A udev rule's match on a USB device, or on a tty by name.
std::string udevMatch(const LinuxSerialTty* tty, const std::string& path) {
    if (tty && tty->usb)
        return "ATTRS{idVendor}==\"" + usbIdText(tty->vendor, tty->product).substr(0, 4) + "\", ATTRS{idProduct}==\"" +
               usbIdText(tty->vendor, tty->product).substr(5) + "\"";
    return "KERNEL==\"" + fs::path(path).filename().string() + "\"";
}

std::string modeText(unsigned mode) {
    std::string text = "c";
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (mode >> shift) & 4 ? 'r' : '-';
        text += (mode >> shift) & 2 ? 'w' : '-';
        text += (mode >> shift) & 1 ? 'x' : '-';
    }
    return text;
}

bool contains(const std::vector<unsigned>& ids, unsigned id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

struct Machine {
    std::vector<LinuxSerialTty> ttys;
    std::vector<LinuxUsbAdapter> adapters;
    bool brlttyRunning = false;
    bool brlttyInstalled = false;
    bool brlttyMasked = false;
    bool modemManagerRunning = false;
};

Machine readMachine(const LinuxSystemView& system) {
    Machine m;
    m.ttys = linuxSerialTtys(system.root());
    m.adapters = linuxUsbAdapters(system.root());
    m.brlttyRunning = running(system, "brltty");
    m.brlttyInstalled = m.brlttyRunning || exists(system, "/usr/bin/brltty") ||
                        exists(system, "/usr/lib/udev/rules.d/85-brltty.rules") ||
                        exists(system, "/lib/udev/rules.d/85-brltty.rules");
    m.brlttyMasked = masked(system, "/etc/systemd/system/brltty-udev.service") ||
                     masked(system, "/etc/udev/rules.d/85-brltty.rules");
    m.modemManagerRunning = running(system, "ModemManager");
    return m;
}

DoctorFinding confinement(const LinuxSystemView& system) {
    if (const std::string snap = system.environment("SNAP_NAME"); !snap.empty() || !system.environment("SNAP").empty())
        return {
            kAdvice, "confinement",
            "This program runs as the Snap \"" + snap + "\", which reaches serial ports only through its interfaces",
            "if a USB adapter is refused, connect the one for them: sudo snap connect " + snap + ":raw-usb."};
    std::string flatpak = system.environment("FLATPAK_ID");
    if (flatpak.empty() && !exists(system, "/.flatpak-info"))
        return {kOk, "confinement", "Not confined (no Snap or Flatpak)", ""};
    // The sandbox's own record: [Application] name=..., [Context] devices=dri;all;
    bool allDevices = false;
    std::ifstream info(at(system, "/.flatpak-info"));
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("name=", 0) == 0 && flatpak.empty()) flatpak = line.substr(5);
        if (line.rfind("devices=", 0) == 0)
            allDevices = (";" + line.substr(8) + ";").find(";all;") != std::string::npos;
    }
    if (allDevices)
        return {kOk, "confinement", "This program runs as the Flatpak \"" + flatpak + "\", which may use all devices",
                ""};
    return {kProblem, "confinement",
            "This program runs as the Flatpak \"" + flatpak + "\", whose sandbox shows it no serial devices",
            "allow them with flatpak override --user --device=all " + flatpak + ", then start the program again."};
}

DoctorFinding serialDevices(const Machine& m, bool portGiven) {
    if (m.ttys.empty())
        return {portGiven ? kOk : kProblem, "serial devices", "No serial device was found",
                portGiven ? ""
                          : "plug the tracker's cable in; a USB adapter that is plugged in but has no serial port is "
                            "named below."};
    std::vector<std::string> texts;
    for (const LinuxSerialTty& tty : m.ttys) texts.push_back(ttyText(tty));
    return {kOk, "serial devices", joined(texts), ""};
}

bool usedByProgram(const LinuxUsbAdapter& a) {
    return std::find(a.drivers.begin(), a.drivers.end(), "usbfs") != a.drivers.end();
}
bool unbound(const LinuxUsbAdapter& a) {
    return std::all_of(a.drivers.begin(), a.drivers.end(), [](const std::string& d) { return d.empty(); });
}

// brltty detaches an adapter's driver and claims it for itself (usbfs); its
// udev rules do so for the generic ids some braille displays share.
bool takenByBrltty(const Machine& m, const LinuxUsbAdapter& a) {
    const UsbSerialChip* chip = findUsbSerialChip(a.vendor, a.product);
    const bool brltty = m.brlttyRunning || (m.brlttyInstalled && !m.brlttyMasked && chip && chip->brlttyClaims);
    return a.ttys.empty() && brltty && (usedByProgram(a) || unbound(a));
}

// Why an adapter that is plugged in has no tty, and what to do about it.
DoctorFinding adapterFinding(const Machine& m, const LinuxUsbAdapter& a) {
    const std::string check = "USB adapter " + a.usbDevice;
    const std::string name = adapterText(a.vendor, a.product, a.productName);
    if (!a.ttys.empty()) {
        std::vector<std::string> paths;
        for (const std::string& tty : a.ttys) paths.push_back("/dev/" + tty);
        return {kOk, check, name + " is " + joined(paths) + " (driver " + joined(a.drivers) + ")", ""};
    }
    const UsbSerialChip* chip = findUsbSerialChip(a.vendor, a.product);
    const std::string module = chip ? chip->linuxModule : "cdc_acm";
    if (takenByBrltty(m, a))
        return {
            kProblem, check,
            name + " is plugged in but has no serial port: brltty, a braille display service, " +
                (m.brlttyRunning ? "is running and " : "is installed, and ") +
                "takes such adapters for braille displays",
            "if you use no braille display, remove brltty (sudo apt remove brltty); otherwise stop it taking serial "
            "adapters (sudo systemctl mask brltty-udev.service); then unplug the adapter and plug it in again."};
    if (usedByProgram(a))
        return {kProblem, check,
                name + " is plugged in but has no serial port: a program has claimed it directly (usbfs)",
                "close programs that talk to USB devices themselves, then unplug the adapter and plug it in again."};
    if (unbound(a))
        return {kProblem, check, name + " is plugged in but has no serial port: no driver is bound to it",
                "load its driver with sudo modprobe " + module +
                    "; if there is no such module, install your distribution's extra kernel modules (on Ubuntu "
                    "linux-modules-extra-$(uname -r)); then unplug the adapter and plug it in again."};
    return {kProblem, check,
            name + " is plugged in but has no serial port: its driver (" + joined(a.drivers) + ") made none",
            "unplug the adapter and plug it in again; if it stays so, the kernel log (sudo dmesg) says why."};
}

DoctorFinding modemManager(const LinuxSystemView& system, const Machine& m, const LinuxSerialTty& tty) {
    const std::string check = "ModemManager";
    if (!m.modemManagerRunning) return {kOk, check, "Not running", ""};
    for (const char* property : {"ID_MM_DEVICE_IGNORE", "ID_MM_PORT_IGNORE", "ID_MM_TTY_MANUAL_SCAN_ONLY"})
        if (udevProperty(system, tty.deviceNumber, property))
            return {kOk, check, "Running, and told to leave " + tty.path + " alone (" + property + ")", ""};
    return {kProblem, check,
            "ModemManager is running and not told to leave " + tty.path +
                " alone: it tries each new serial port with AT commands for several seconds, and bytes it sends "
                "while the tracker's bootloader announces itself spoil the handshake",
            "tell it with a udev rule: put " + udevMatch(&tty, tty.path) +
                ", ENV{ID_MM_DEVICE_IGNORE}=\"1\" in /etc/udev/rules.d/70-varnel-tracker.rules, run sudo udevadm "
                "control --reload and plug the adapter in again (without a modem, sudo systemctl disable --now "
                "ModemManager does it too)."};
}

DoctorFinding latencyTimer(const LinuxSerialTty& tty) {
    const std::string check = "latency timer";
    const int ms = *tty.latencyTimerMs;
    if (ms <= 1) return {kOk, check, tty.path + " holds replies for " + std::to_string(ms) + " ms", ""};
    return {
        kAdvice, check,
        tty.path + "'s latency timer is " + std::to_string(ms) + " ms: " + kSlowLatencyCost +
            "; this program asks the driver for 1 ms while it has the port open, other programs may not",
        "make it 1 ms for good with a udev rule: put ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", "
        "ATTR{latency_timer}=\"1\" in /etc/udev/rules.d/70-ftdi-latency.rules, run sudo udevadm control --reload "
        "and plug the adapter in again."};
}

// Why this login may not open the node, from its mode, its group and the
// groups of the login against those of the group database.
DoctorFinding permissionDenied(const LinuxSystemView& system, const std::string& path, const LinuxNode& node,
                               const LinuxSerialTty* tty) {
    const std::string check = "permission";
    const LinuxLogin login = system.login();
    const std::optional<LinuxGroup> group = system.group(node.gid);
    const std::string groupName = group ? group->name : std::to_string(node.gid);
    const std::string you = "You (" + (login.user.empty() ? "uid " + std::to_string(login.uid) : login.user) + ")";
    const std::string user = login.user.empty() ? std::string("$USER") : login.user;
    const bool groupMayUse = (node.mode & 060) == 060;
    const bool inLogin = login.gid == node.gid || contains(login.groups, node.gid);
    const bool inDatabase =
        group && (login.databaseGid == node.gid ||
                  std::find(group->members.begin(), group->members.end(), login.user) != group->members.end());

    if (!groupMayUse && (node.mode & 06) != 06) {
        const std::string owner = system.userName(node.uid);
        return {kProblem, check,
                path + " lets no one but its owner (" + (owner.empty() ? std::to_string(node.uid) : owner) +
                    ") in: its mode is " + modeText(node.mode),
                "give it to the group dialout with a udev rule: put SUBSYSTEM==\"tty\", " + udevMatch(tty, path) +
                    ", GROUP=\"dialout\", MODE=\"0660\" in /etc/udev/rules.d/70-varnel-serial.rules, run sudo udevadm "
                    "control --reload and plug the adapter in again."};
    }
    if (groupMayUse && !inLogin && inDatabase)
        return {kProblem, check,
                you + " joined the group \"" + groupName + "\", which " + path +
                    " belongs to, after this login started, so this login is not in it yet",
                "log out and in again (or run \"newgrp " + groupName + "\" to try it in this terminal)."};
    if (groupMayUse && !inLogin)
        return {kProblem, check, you + " are not in the group \"" + groupName + "\", which " + path + " belongs to",
                "join it with sudo usermod -aG " + groupName + " " + user +
                    ", then log out and in again so the new group takes effect."};
    return {kProblem, check, path + " refuses you although you are in its group \"" + groupName + "\"",
            "a Snap's or Flatpak's confinement, or a security policy (AppArmor, SELinux), stands in the way."};
}

std::string resolved(const LinuxSystemView& system, const std::string& port) {
    const auto slot = portSlotFromName(port);
    if (!slot) return port;
    return resolvePortName(port, linuxSerialPorts(system.root()));
}

// The tty a port path leads to (a by-id name or a link such as the
// emulator's), if it is one of the machine's serial ttys.
const LinuxSerialTty* ttyOf(const LinuxSystemView& system, const Machine& m, const std::string& path) {
    std::error_code ec;
    const fs::path real = fs::canonical(at(system, path), ec);
    if (ec) return nullptr;
    for (const LinuxSerialTty& tty : m.ttys) {
        std::error_code ttyError;
        if (fs::canonical(at(system, tty.path), ttyError) == real) return &tty;
    }
    return nullptr;
}

DoctorFinding missingPort(const Machine& m, const std::string& path) {
    std::string remedy = "is the tracker's cable plugged in?";
    std::vector<std::string> paths;
    for (const LinuxSerialTty& tty : m.ttys) paths.push_back(tty.path);
    if (!paths.empty()) remedy += " The serial ports found are " + joined(paths) + ".";
    // A slot name that stayed as typed: there are fewer ports than that.
    if (const auto slot = portSlotFromName(path))
        return {
            kProblem, "port",
            "There is no serial port number " + std::to_string(*slot) + " (" + std::to_string(paths.size()) + " found)",
            remedy};
    return {kProblem, "port", path + " does not exist", remedy};
}

// The port's own checks: there, may be opened, held by nobody.
std::vector<DoctorFinding> portAccess(const LinuxSystemView& system, const Machine& m, const std::string& path) {
    const std::optional<LinuxNode> node = system.node(path);
    if (!node) return {missingPort(m, path)};
    std::vector<DoctorFinding> findings{{kOk, "port", path + " is there", ""}};
    const LinuxOpen opened = system.open(path);
    if (opened.error == EACCES || opened.error == EPERM) {
        findings.push_back(permissionDenied(system, path, *node, ttyOf(system, m, path)));
        return findings;
    }
    if (opened.error == ENOENT) return {missingPort(m, path)};
    if (opened.error != 0 && opened.error != EBUSY) {
        const bool gone = opened.error == ENXIO || opened.error == ENODEV || opened.error == EIO;
        findings.push_back({kProblem, "permission", path + " cannot be opened: " + std::strerror(opened.error),
                            gone ? "no device answers behind it; unplug the adapter and plug it in again." : ""});
        return findings;
    }
    if (opened.error == 0) findings.push_back({kOk, "permission", path + " opens for reading and writing", ""});
    if (opened.held || opened.error == EBUSY)
        findings.push_back({kProblem, "other programs",
                            path + " is in use by " + (opened.holder.empty() ? "another program" : opened.holder),
                            "close it and try again."});
    else findings.push_back({kOk, "other programs", "No other program holds " + path, ""});
    return findings;
}

void append(std::vector<DoctorFinding>& to, std::vector<DoctorFinding> more) {
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

}  // namespace

std::vector<DoctorFinding> linuxConnectionChecks(const LinuxSystemView& system, const std::string& port,
                                                 bool wholeReport) {
    const Machine m = readMachine(system);
    const std::string path = port.empty() ? std::string() : resolved(system, port);
    std::vector<DoctorFinding> findings{confinement(system)};
    if (wholeReport) findings.push_back(serialDevices(m, !path.empty()));

    // Adapters without a tty: in the whole report always, for one port when
    // the port is missing (the adapter may well be the tracker's).
    const bool portMissing = !path.empty() && !system.node(path);
    for (const LinuxUsbAdapter& adapter : m.adapters)
        if (wholeReport || (portMissing && adapter.ttys.empty())) findings.push_back(adapterFinding(m, adapter));
    // brltty's line, unless it has taken an adapter: that adapter's line
    // says so and what to do.
    const bool brlttyTookOne = std::any_of(m.adapters.begin(), m.adapters.end(),
                                           [&](const LinuxUsbAdapter& a) { return takenByBrltty(m, a); });
    if (wholeReport && !brlttyTookOne) {
        if (!m.brlttyInstalled) findings.push_back({kOk, "brltty", "Not installed", ""});
        else if (m.brlttyMasked)
            findings.push_back({kOk, "brltty", "Installed, and kept from taking serial adapters", ""});
        else
            findings.push_back(
                {kOk, "brltty",
                 std::string(m.brlttyRunning ? "Running" : "Installed") + "; it has taken no adapter here", ""});
    }

    if (!path.empty()) append(findings, portAccess(system, m, path));

    // The USB ttys' own settings: the port's, or in the whole report every one.
    const LinuxSerialTty* portTty = path.empty() ? nullptr : ttyOf(system, m, path);
    bool modemManagerSaid = false;
    for (const LinuxSerialTty& tty : m.ttys) {
        if (!tty.usb || (portTty != &tty && !(wholeReport && path.empty()))) continue;
        findings.push_back(modemManager(system, m, tty));
        modemManagerSaid = true;
        if (tty.latencyTimerMs) findings.push_back(latencyTimer(tty));
    }
    if (wholeReport && !modemManagerSaid)
        findings.push_back({kOk, "ModemManager",
                            m.modemManagerRunning ? "Running; no USB serial port here for it to try" : "Not running",
                            ""});
    return findings;
}

std::string linuxPortOpenFailure(const LinuxSystemView& system, const std::string& path) {
    const Machine m = readMachine(system);
    for (const DoctorFinding& f : portAccess(system, m, path))
        if (f.level == kProblem) return f.sentence();
    return {};
}

}  // namespace varnel
