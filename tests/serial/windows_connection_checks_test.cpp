#include <gtest/gtest.h>

#include <functional>

#include "serial/windows_connection_checks.h"
#include "support/doctor_expect.h"

namespace varnel {
namespace {

constexpr auto kOk = FindingLevel::Ok;
constexpr auto kAdvice = FindingLevel::Advice;
constexpr auto kProblem = FindingLevel::Problem;

// An FTDI adapter as SetupAPI shows it: the USB device, and FTDI's bus
// driver's child that owns the COM port and the latency timer.
void addFtdi(WindowsSystemView& s, const std::string& com, unsigned latency) {
    s.serialComm.push_back({"\\Device\\VCP0", com});
    s.devices.push_back({"USB\\VID_0403&PID_6001\\A50285BI", "USB Serial Converter", "FTDIBUS", "FTDI", "", 0, {}});
    s.devices.push_back({"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", "USB Serial Port (" + com + ")", "FTDISER",
                         "FTDI", com, 0, latency});
}

void addOnBoard(WindowsSystemView& s) {
    s.serialComm.push_back({"\\Device\\Serial0", "COM1"});
    s.devices.push_back(
        {"ACPI\\PNP0501\\0", "Communications Port (COM1)", "Serial", "(Standard port types)", "COM1", 0, {}});
}

// Every port that is listed opens; the rest are missing.
WindowsSystemView machine(const std::function<void(WindowsSystemView&)>& setUp) {
    WindowsSystemView s;
    setUp(s);
    s.open = [ports = s.serialComm](const std::string& com) {
        for (const auto& p : ports)
            if (p.port == com) return WindowsOpen::Opens;
        return WindowsOpen::Missing;
    };
    return s;
}

using Case = test::DoctorCase<WindowsSystemView>;

TEST(WindowsDoctor, EachFindingOnAMadeUpMachine) {
    const auto ftdi = [](WindowsSystemView& s) { addFtdi(s, "COM5", 16); };
    const auto ch340 = [](WindowsSystemView& s, unsigned problem) {
        s.devices.push_back({"USB\\VID_1A86&PID_7523\\5&2A1B3C&0&2", "USB2.0-Serial", "", "", "", problem, {}});
    };
    const Case cases[] = {
        {"no port at all",
         [](WindowsSystemView&) {},
         "",
         "COM ports",
         kProblem,
         {"Windows has no COM port", "plug the tracker's cable in"}},
        {"the ports with their drivers",
         [&](WindowsSystemView& s) {
             addOnBoard(s);
             ftdi(s);
         },
         "",
         "COM ports",
         kOk,
         {"COM1 (Communications Port, driver Serial from (Standard port types)), COM5 (USB Serial Port, "
          "FTDI FT232R (0403:6001), driver FTDISER from FTDI)"}},
        {"a CH340 without its driver",
         [&](WindowsSystemView& s) { ch340(s, 28); },
         "",
         "USB adapter",
         kProblem,
         {"CH340 (1a86:7523) \"USB2.0-Serial\" is plugged in but has no COM port: its driver is not installed (code "
          "28)",
          "install WCH's CH341SER driver (wch-ic.com", "plug it in again"}},
        {"a disabled adapter",
         [&](WindowsSystemView& s) { ch340(s, 22); },
         "",
         "USB adapter",
         kProblem,
         {"it is disabled (code 22)", "Enable device"}},
        {"a PL2303 that will not start",
         [](WindowsSystemView& s) {
             s.devices.push_back(
                 {"USB\\VID_067B&PID_2303\\6&1", "Prolific USB-to-Serial Comm Port", "Ser2pl", "Prolific", "", 10, {}});
         },
         "",
         "USB adapter",
         kProblem,
         {"PL2303 (067b:2303)", "it cannot start (code 10)", "older driver"}},
        {"a CP210x whose driver gave no port",
         [](WindowsSystemView& s) {
             s.devices.push_back(
                 {"USB\\VID_10C4&PID_EA60\\0001", "CP2102 USB to UART Bridge Controller", "", "", "", 0, {}});
         },
         "",
         "USB adapter",
         kProblem,
         {"CP210x (10c4:ea60)", "no driver gave it one", "Silicon Labs"}},
        {"a port that opens", ftdi, "COM5", "port", kOk, {"COM5 opens"}},
        {"a 16 ms latency timer",
         ftdi,
         "COM5",
         "latency timer",
         kAdvice,
         {"COM5's latency timer is 16 ms", "53 s instead of 19 s",
          "open \"USB Serial Port (COM5)\", Port Settings, Advanced...", "Latency Timer (msec) to 1"}},
        {"a 1 ms timer",
         [](WindowsSystemView& s) { addFtdi(s, "COM5", 1); },
         "5",
         "latency timer",
         kOk,
         {"COM5 holds replies for 1 ms"}},
        {"a port the connect window does not list",
         [](WindowsSystemView& s) { addFtdi(s, "COM23", 1); },
         "\\\\.\\COM23",
         "port number",
         kAdvice,
         {"COM23 is beyond the connect window's list (COM1 to COM16)", "Device path", "COM Port Number"}},
        {"the adapter under the name Windows gave it later",
         [](WindowsSystemView& s) {
             addOnBoard(s);
             addFtdi(s, "COM7", 1);
         },
         "COM5",
         "port",
         kProblem,
         {"COM5 does not exist; is the tracker's cable plugged in? Windows now calls the USB adapter COM7", "use COM7",
          "give it COM5 again in Device Manager"}},
        {"a missing port among several",
         [](WindowsSystemView& s) { addOnBoard(s); },
         "COM4",
         "port",
         kProblem,
         {"COM4 does not exist; is the tracker's cable plugged in? The COM ports found are COM1."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::expectFinding(windowsConnectionChecks(machine(c.setUp), c.port), c.check, c.level, c.says);
    }
}

TEST(WindowsDoctor, AHeldPortAndTheOnePortsFindings) {
    // A working FTDI adapter: its USB device has no port of its own, its
    // FTDIBUS child has, and nothing is in the way.
    EXPECT_FALSE(
        standsInTheWay(windowsConnectionChecks(machine([](WindowsSystemView& m) { addFtdi(m, "COM5", 16); }), "COM5")));
    WindowsSystemView s = machine([](WindowsSystemView& m) {
        addFtdi(m, "COM5", 16);
        m.devices.push_back({"USB\\VID_1A86&PID_7523\\1", "USB2.0-Serial", "", "", "", 28, {}});
    });
    s.open = [](const std::string& com) { return com == "COM5" ? WindowsOpen::InUse : WindowsOpen::Missing; };
    EXPECT_EQ(windowsPortOpenFailure(s, "\\\\.\\COM5"), "COM5 is in use by another program; close it and try again.");
    // For a port that is there, the adapter without a driver is none of its trouble.
    auto findings = windowsConnectionChecks(s, "COM5", false);
    ASSERT_EQ(findings.size(), 3u) << doctorReportText(findings);
    EXPECT_EQ(findings[1].check, "other programs");
    EXPECT_EQ(findings[2].check, "latency timer");
    // For one that is missing it may be the tracker's, and is named.
    findings = windowsConnectionChecks(s, "COM6", false);
    ASSERT_EQ(findings.size(), 2u) << doctorReportText(findings);
    EXPECT_EQ(findings[0].check, "USB adapter");
    EXPECT_EQ(findings[1].found, "COM6 does not exist");
    EXPECT_TRUE(standsInTheWay(findings));
}

TEST(WindowsDoctor, UsbIdsFromInstanceIds) {
    EXPECT_EQ(windowsUsbId("USB\\VID_0403&PID_6001\\A50285BI"), std::make_pair(0x0403u, 0x6001u));
    EXPECT_EQ(windowsUsbId("FTDIBUS\\VID_0403+PID_6015+DN01ABCDA\\0000"), std::make_pair(0x0403u, 0x6015u));
    EXPECT_EQ(windowsUsbId("usb\\vid_10c4&pid_ea60&mi_00\\6&1"), std::make_pair(0x10c4u, 0xea60u));
    EXPECT_EQ(windowsUsbId("ACPI\\PNP0501\\0"), std::nullopt);
    EXPECT_EQ(windowsUsbId("USB\\VID_04\\x"), std::nullopt);
}

}  // namespace
}  // namespace varnel
