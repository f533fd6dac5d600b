#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "serial/connection_doctor.h"
#include "serial/linux_connection_checks.h"
#include "serial/linux_sysfs.h"
#include "serial/port_open_reason.h"
#include "support/doctor_expect.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kDialout = 20;

// A made-up Linux machine: files under a temporary root laid out as sysfs,
// /proc and /dev are, and the login, groups, nodes and opens from tables.
class FakeLinux : public LinuxSystemView {
public:
    FakeLinux() : LinuxSystemView(freshRoot()) {
        me = {1000, "alice", 1000, {1000}, 1000};
        groups[kDialout] = {"dialout", {}};
    }
    ~FakeLinux() override { fs::remove_all(root()); }

    LinuxLogin me;
    std::map<unsigned, LinuxGroup> groups;
    std::map<std::string, LinuxNode> nodes;  // default: crw-rw---- root:dialout
    std::map<std::string, LinuxOpen> opens;  // default: it opens
    std::map<std::string, std::string> env;

    LinuxLogin login() const override { return me; }
    std::optional<LinuxGroup> group(unsigned gid) const override {
        auto it = groups.find(gid);
        return it == groups.end() ? std::nullopt : std::optional(it->second);
    }
    std::string userName(unsigned uid) const override { return uid == 0 ? "root" : ""; }
    std::optional<LinuxNode> node(const std::string& path) const override {
        if (auto it = nodes.find(path); it != nodes.end()) return it->second;
        std::error_code ec;
        if (!fs::exists(root() / fs::path(path).relative_path(), ec)) return std::nullopt;
        return LinuxNode{0, kDialout, 0660, true};
    }
    LinuxOpen open(const std::string& path) const override {
        auto it = opens.find(path);
        return it == opens.end() ? LinuxOpen{} : it->second;
    }
    std::string environment(const std::string& name) const override {
        auto it = env.find(name);
        return it == env.end() ? "" : it->second;
    }

    fs::path at(const std::string& path) const { return root() / fs::path(path).relative_path(); }
    void file(const fs::path& p, const std::string& text = "") {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text << "\n";
    }
    void link(const fs::path& from, const fs::path& to) {
        fs::create_directories(from.parent_path());
        fs::create_symlink(to, from);
    }
    void process(int pid, const std::string& comm) { file(at("/proc/" + std::to_string(pid) + "/comm"), comm); }

    // A USB device as sysfs shows it: its ids and name, one interface with
    // its driver ("" for none), and the tty its driver made ("" for none):
    // ttyUSBn inside the interface, ttyACMn under its tty/ folder.
    void usbAdapter(const std::string& usb, unsigned vendor, unsigned product, const std::string& driver,
                    const std::string& tty, std::optional<int> latency = std::nullopt) {
        const fs::path device = at("/sys/devices/pci0000:00/usb1/" + usb);
        char id[8];
        std::snprintf(id, sizeof id, "%04x", vendor);
        file(device / "idVendor", id);
        std::snprintf(id, sizeof id, "%04x", product);
        file(device / "idProduct", id);
        file(device / "product", "Test adapter");
        link(at("/sys/bus/usb/devices/" + usb), device);
        const fs::path interface = device / (usb + ":1.0");
        file(interface / "bInterfaceNumber", "00");
        file(interface / "bInterfaceClass", tty.rfind("ttyACM", 0) == 0 ? "02" : "ff");
        if (!driver.empty()) {
            fs::create_directories(at("/sys/bus/usb/drivers/" + driver));
            link(interface / "driver", at("/sys/bus/usb/drivers/" + driver));
        }
        if (tty.empty()) return;
        const bool acm = tty.rfind("ttyACM", 0) == 0;
        const fs::path port = acm ? interface : interface / tty;
        const fs::path classDevice = acm ? interface / "tty" / tty : port / "tty" / tty;
        file(classDevice / "dev", (acm ? "166:" : "188:") + tty.substr(6));
        link(classDevice / "device", port);
        if (latency) file(port / "latency_timer", std::to_string(*latency));
        link(at("/sys/class/tty/" + tty), classDevice);
        file(at("/dev/" + tty));
    }

private:
    static fs::path freshRoot() {
        std::string pattern = (fs::temp_directory_path() / "varnel-doctor-XXXXXX").string();
        return ::mkdtemp(pattern.data());
    }
};

const DoctorFinding* findingOf(const std::vector<DoctorFinding>& findings, const std::string& check) {
    for (const DoctorFinding& f : findings)
        if (f.check == check) return &f;
    return nullptr;
}

using Case = test::DoctorCase<FakeLinux>;

void expectFinding(const Case& c) {
    SCOPED_TRACE(c.name);
    FakeLinux system;
    c.setUp(system);
    test::expectFinding(linuxConnectionChecks(system, c.port), c.check, c.level, c.says);
}

constexpr auto kOk = FindingLevel::Ok;
constexpr auto kAdvice = FindingLevel::Advice;
constexpr auto kProblem = FindingLevel::Problem;

TEST(LinuxDoctor, DevicesAdaptersAndTheServicesThatTakeThem) {
    const auto ftdi = [](FakeLinux& s) { s.usbAdapter("1-1", 0x0403, 0x6001, "ftdi_sio", "ttyUSB0", 16); };
    const auto ch340 = [](FakeLinux& s, const std::string& driver) { s.usbAdapter("1-2", 0x1a86, 0x7523, driver, ""); };
    const auto brlttyInstalled = [](FakeLinux& s) { s.file(s.at("/usr/lib/udev/rules.d/85-brltty.rules")); };
    const Case cases[] = {
        {"nothing plugged in",
         [](FakeLinux&) {},
         "",
         "serial devices",
         kProblem,
         {"No serial device was found", "plug the tracker's cable in"}},
        {"the adapters by chip, id and driver",
         [&](FakeLinux& s) {
             ftdi(s);
             s.usbAdapter("1-3", 0x15a2, 0x0300, "cdc_acm", "ttyACM0");
         },
         "",
         "serial devices",
         kOk,
         {"/dev/ttyUSB0 (FTDI FT232R (0403:6001) \"Test adapter\", driver ftdi_sio), /dev/ttyACM0 (USB device "
          "15a2:0300"}},
        {"an adapter with its tty",
         ftdi,
         "",
         "USB adapter 1-1",
         kOk,
         {"FTDI FT232R (0403:6001)", "is /dev/ttyUSB0 (driver ftdi_sio)"}},
        {"brltty running has claimed a CH340",
         [&](FakeLinux& s) {
             ch340(s, "usbfs");
             s.process(812, "brltty");
         },
         "",
         "USB adapter 1-2",
         kProblem,
         {"CH340 (1a86:7523)", "no serial port: brltty", "is running", "sudo apt remove brltty",
          "mask brltty-udev.service"}},
        {"brltty installed, a CH340 left without driver",
         [&](FakeLinux& s) {
             ch340(s, "");
             brlttyInstalled(s);
         },
         "",
         "USB adapter 1-2",
         kProblem,
         {"brltty", "is installed"}},
        {"brltty masked: the CH340 just has no driver",
         [&](FakeLinux& s) {
             ch340(s, "");
             brlttyInstalled(s);
             s.link(s.at("/etc/systemd/system/brltty-udev.service"), "/dev/null");
         },
         "",
         "USB adapter 1-2",
         kProblem,
         {"no driver is bound", "sudo modprobe ch341", "linux-modules-extra"}},
        {"brltty leaves FTDI alone",
         [&](FakeLinux& s) {
             s.usbAdapter("1-1", 0x0403, 0x6015, "", "");
             brlttyInstalled(s);
         },
         "",
         "USB adapter 1-1",
         kProblem,
         {"FTDI FT231X", "no driver is bound", "sudo modprobe ftdi_sio"}},
        {"another program claimed it",
         [&](FakeLinux& s) { ch340(s, "usbfs"); },
         "",
         "USB adapter 1-2",
         kProblem,
         {"claimed it directly (usbfs)"}},
        {"brltty that took nothing",
         [&](FakeLinux& s) {
             ftdi(s);
             brlttyInstalled(s);
         },
         "",
         "brltty",
         kOk,
         {"Installed; it has taken no adapter"}},
        {"ModemManager and a tracker's own USB port",
         [](FakeLinux& s) {
             s.usbAdapter("1-3", 0x15a2, 0x0300, "cdc_acm", "ttyACM0");
             s.process(640, "ModemManager");
         },
         "",
         "ModemManager",
         kProblem,
         {"not told to leave /dev/ttyACM0 alone", "announces itself",
          "ATTRS{idVendor}==\"15a2\", ATTRS{idProduct}==\"0300\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"",
          "udevadm control --reload"}},
        {"ModemManager told to leave it alone",
         [](FakeLinux& s) {
             s.usbAdapter("1-3", 0x15a2, 0x0300, "cdc_acm", "ttyACM0");
             s.process(640, "ModemManager");
             s.file(s.at("/run/udev/data/c166:0"), "E:ID_VENDOR=x\nE:ID_MM_DEVICE_IGNORE=1");
         },
         "",
         "ModemManager",
         kOk,
         {"told to leave /dev/ttyACM0 alone"}},
        {"a 16 ms FTDI latency timer",
         ftdi,
         "",
         "latency timer",
         kAdvice,
         {"/dev/ttyUSB0's latency timer is 16 ms", "53 s instead of 19 s", "ATTR{latency_timer}=\"1\"",
          "70-ftdi-latency.rules"}},
        {"a 1 ms timer",
         [](FakeLinux& s) { s.usbAdapter("1-1", 0x0403, 0x6001, "ftdi_sio", "ttyUSB0", 1); },
         "",
         "latency timer",
         kOk,
         {"1 ms"}},
        {"a Snap",
         [](FakeLinux& s) {
             s.env["SNAP"] = "/snap/varnelcfg/4";
             s.env["SNAP_NAME"] = "varnelcfg";
         },
         "",
         "confinement",
         kAdvice,
         {"Snap \"varnelcfg\"", "sudo snap connect varnelcfg:raw-usb"}},
        {"a Flatpak without devices",
         [](FakeLinux& s) {
             s.file(s.at("/.flatpak-info"), "[Application]\nname=org.varnel.Cfg\n[Context]\ndevices=dri;");
         },
         "",
         "confinement",
         kProblem,
         {"Flatpak \"org.varnel.Cfg\"", "flatpak override --user --device=all org.varnel.Cfg"}},
        {"a Flatpak with all devices",
         [](FakeLinux& s) {
             s.env["FLATPAK_ID"] = "org.varnel.Cfg";
             s.file(s.at("/.flatpak-info"), "[Context]\ndevices=dri;all;");
         },
         "",
         "confinement",
         kOk,
         {"may use all devices"}},
    };
    for (const Case& c : cases) expectFinding(c);
}

TEST(LinuxDoctor, WhyThePortWillNotOpen) {
    const auto port = [](FakeLinux& s) { s.usbAdapter("1-1", 0x0403, 0x6001, "ftdi_sio", "ttyUSB0"); };
    const auto denied = [port](FakeLinux& s) {
        port(s);
        s.opens["/dev/ttyUSB0"] = {EACCES, false, ""};
    };
    const Case cases[] = {
        {"it opens", port, "/dev/ttyUSB0", "permission", kOk, {"/dev/ttyUSB0 opens for reading and writing"}},
        {"a slot name is the slot's device", port, "COM1", "permission", kOk, {"/dev/ttyUSB0 opens"}},
        {"not in the group",
         denied,
         "/dev/ttyUSB0",
         "permission",
         kProblem,
         {"You (alice) are not in the group \"dialout\", which /dev/ttyUSB0 belongs to",
          "sudo usermod -aG dialout alice, then log out and in again"}},
        {"in the group database, not in this login",
         [denied](FakeLinux& s) {
             denied(s);
             s.groups[kDialout].members = {"bob", "alice"};
         },
         "/dev/ttyUSB0",
         "permission",
         kProblem,
         {"You (alice) joined the group \"dialout\"", "after this login started", "log out and in again",
          "newgrp dialout"}},
        {"the group is the user's own in the database",
         [denied](FakeLinux& s) {
             denied(s);
             s.me.databaseGid = kDialout;
         },
         "/dev/ttyUSB0",
         "permission",
         kProblem,
         {"after this login started"}},
        {"a mode that lets nobody in",
         [denied](FakeLinux& s) {
             denied(s);
             s.nodes["/dev/ttyUSB0"] = {0, 0, 0600, true};
         },
         "/dev/ttyUSB0",
         "permission",
         kProblem,
         {"lets no one but its owner (root) in: its mode is crw-------",
          "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", GROUP=\"dialout\", "
          "MODE=\"0660\""}},
        {"in the group and still refused",
         [denied](FakeLinux& s) {
             denied(s);
             s.me.groups.push_back(kDialout);
         },
         "/dev/ttyUSB0",
         "permission",
         kProblem,
         {"refuses you although you are in its group \"dialout\"", "AppArmor"}},
        {"held by a program",
         [port](FakeLinux& s) {
             port(s);
             s.opens["/dev/ttyUSB0"] = {0, true, "minicom (pid 4242)"};
         },
         "/dev/ttyUSB0",
         "other programs",
         kProblem,
         {"/dev/ttyUSB0 is in use by minicom (pid 4242); close it and try again."}},
        {"opened exclusively by one we cannot see",
         [port](FakeLinux& s) {
             port(s);
             s.opens["/dev/ttyUSB0"] = {EBUSY, true, ""};
         },
         "/dev/ttyUSB0",
         "other programs",
         kProblem,
         {"is in use by another program"}},
        {"a device that went away",
         [port](FakeLinux& s) {
             port(s);
             s.opens["/dev/ttyUSB0"] = {ENXIO, false, ""};
         },
         "/dev/ttyUSB0",
         "permission",
         kProblem,
         {"cannot be opened", "plug it in again"}},
        {"a slot beyond the ports found",
         port,
         "COM3",
         "port",
         kProblem,
         {"There is no serial port number 3 (1 found); is the tracker's cable plugged in?"}},
        {"a missing port names the ports there are",
         port,
         "/dev/ttyUSB3",
         "port",
         kProblem,
         {"/dev/ttyUSB3 does not exist; is the tracker's cable plugged in? The serial ports found are /dev/ttyUSB0."}},
    };
    for (const Case& c : cases) expectFinding(c);
}

// For one port (the connect window's hint, a failed open's message) only
// what concerns it, and only what is not all right.
TEST(LinuxDoctor, ThePortsOwnFindingsAndTheSentenceUnderCantOpen) {
    FakeLinux system;
    system.usbAdapter("1-1", 0x0403, 0x6001, "ftdi_sio", "ttyUSB0", 16);
    system.usbAdapter("1-2", 0x1a86, 0x7523, "usbfs", "");
    system.process(77, "brltty");
    auto findings = linuxConnectionChecks(system, "/dev/ttyUSB0", false);
    EXPECT_EQ(findingOf(findings, "serial devices"), nullptr);
    EXPECT_EQ(findingOf(findings, "USB adapter 1-2"), nullptr);  // the port is there: not its trouble
    ASSERT_NE(findingOf(findings, "latency timer"), nullptr);
    EXPECT_FALSE(standsInTheWay(findings));

    // Asked for an adapter that is not there, the one brltty took is named.
    findings = linuxConnectionChecks(system, "/dev/ttyUSB1", false);
    ASSERT_NE(findingOf(findings, "USB adapter 1-2"), nullptr);
    EXPECT_TRUE(standsInTheWay(findings));
    EXPECT_EQ(
        linuxPortOpenFailure(system, "/dev/ttyUSB1"),
        "/dev/ttyUSB1 does not exist; is the tracker's cable plugged in? The serial ports found are /dev/ttyUSB0.");
    EXPECT_EQ(linuxPortOpenFailure(system, "/dev/ttyUSB0"), "");

    // A machine where all is well: the whole report finds nothing in the way.
    FakeLinux well;
    well.usbAdapter("1-1", 0x0403, 0x6001, "ftdi_sio", "ttyUSB0", 16);
    well.usbAdapter("1-2", 0x1a86, 0x7523, "ch341", "ttyUSB1");
    well.file(well.at("/usr/bin/brltty"));
    well.process(640, "ModemManager");
    well.file(well.at("/run/udev/data/c188:0"), "E:ID_MM_DEVICE_IGNORE=1");
    well.file(well.at("/run/udev/data/c188:1"), "E:ID_MM_TTY_MANUAL_SCAN_ONLY=1");
    findings = linuxConnectionChecks(well, "");
    EXPECT_FALSE(standsInTheWay(findings)) << doctorReportText(findings);
}

TEST(LinuxDoctor, ThePortListCarriesTheUsbIdAndTheByIdName) {
    FakeLinux system;
    system.usbAdapter("1-1", 0x0403, 0x6001, "ftdi_sio", "ttyUSB0");
    system.usbAdapter("1-3", 0x15a2, 0x0300, "cdc_acm", "ttyACM0");
    system.link(system.at("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"), "../../ttyUSB0");
    const auto ports = linuxSerialPorts(system.root());
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].path, "/dev/ttyUSB0");
    EXPECT_EQ(ports[0].description, "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(ports[0].usbId, "0403:6001");
    EXPECT_EQ(ports[1].path, "/dev/ttyACM0");
    EXPECT_EQ(ports[1].description, "USB modem (CDC ACM)");
    EXPECT_EQ(ports[1].usbId, "15a2:0300");
}

// The real thing: a pseudo-terminal given to a group, checked by a process
// running as another user with no supplementary groups, as a login that
// started before the user joined would be.
struct OtherUser {
    uid_t uid;
    gid_t gid;
    std::string name;
};

// The report on `path` as `who` sees it, from a child that has become them.
std::string reportAs(const OtherUser& who, const std::string& path) {
    int out[2];
    if (::pipe(out) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string text;
        if (::setgroups(0, nullptr) != 0 || ::setgid(who.gid) != 0 || ::setuid(who.uid) != 0)
            text = "could not become " + who.name;
        else text = describePortOpenFailure(path) + "\n" + doctorReportText(portFindings(path));
        (void)!::write(out[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    return text;
}

TEST(LinuxDoctor, APseudoTerminalOfAGroupThisLoginLacks) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a pseudo-terminal to a group and becoming another user needs root";
    // A group with a member in the database, and a user in no group.
    std::optional<OtherUser> member;
    std::string groupName;
    gid_t groupId = 0;
    ::setgrent();
    while (const group* g = ::getgrent()) {
        for (char** m = g->gr_mem; m && *m && !member; ++m)
            if (const passwd* p = ::getpwnam(*m); p && p->pw_uid != 0 && p->pw_gid != g->gr_gid) {
                member = OtherUser{p->pw_uid, p->pw_gid, p->pw_name};
                groupName = g->gr_name;
                groupId = g->gr_gid;
            }
        if (member) break;
    }
    ::endgrent();
    const passwd* nobody = ::getpwnam("nobody");
    if (!member || !nobody) GTEST_SKIP() << "no user with a supplementary group in the group database, or no nobody";

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    ASSERT_EQ(::chown(slave.c_str(), 0, groupId), 0);
    ASSERT_EQ(::chmod(slave.c_str(), 0660), 0);

    const std::string asMember = reportAs(*member, slave);
    EXPECT_NE(asMember.find("You (" + member->name + ") joined the group \"" + groupName + "\", which " + slave +
                            " belongs to, after this login started"),
              std::string::npos)
        << asMember;
    EXPECT_NE(asMember.find("log out and in again"), std::string::npos) << asMember;
    EXPECT_NE(asMember.find("[problem] permission"), std::string::npos) << asMember;

    const std::string asNobody = reportAs({nobody->pw_uid, nobody->pw_gid, nobody->pw_name}, slave);
    EXPECT_NE(asNobody.find("You (nobody) are not in the group \"" + groupName + "\""), std::string::npos) << asNobody;
    EXPECT_NE(asNobody.find("sudo usermod -aG " + groupName + " nobody"), std::string::npos) << asNobody;
    ::close(master);
}

}  // namespace
}  // namespace varnel
