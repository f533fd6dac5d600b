#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serial/connection_doctor.h"
#include "serial/port_resolver.h"

namespace varnel {

// A device as SetupAPI and its registry key show it: the USB adapters
// (USB\..., and FTDI's own FTDIBUS\... below them) and the COM ports.
struct WindowsDevice {
    std::string instanceId;                  // "USB\VID_1A86&PID_7523\5&2A1B3C&0&2"
    std::string name;                        // what Device Manager shows: "USB-SERIAL CH340 (COM5)"
    std::string service;                     // its driver's service ("CH341SER_A64", "FTDIBUS"), "" with none
    std::string manufacturer;                // the driver's provider ("wch.cn", "FTDI")
    std::string portName;                    // "COM5" (Device Parameters\PortName), "" when it has none
    unsigned problem = 0;                    // Device Manager's problem code (28: no driver), 0 when it works
    std::optional<unsigned> latencyTimerMs;  // FTDI: Device Parameters\LatencyTimer
};

enum class WindowsOpen { Opens, InUse, Missing, Refused };

// The system the Windows checks read: what the real one gathers through
// SetupAPI and the registry, and a test writes down.
struct WindowsSystemView {
    std::vector<SerialCommEntry> serialComm;  // HARDWARE\DEVICEMAP\SERIALCOMM
    std::vector<WindowsDevice> devices;
    std::function<WindowsOpen(const std::string& port)> open;  // "COM5" opened exclusively
};

// The USB vendor and product of an instance id ("USB\VID_0403&PID_6001\...",
// "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000"), nullopt for other devices.
std::optional<std::pair<unsigned, unsigned>> windowsUsbId(const std::string& instanceId);

// The Windows checks, about `port` too when it is not "" ("COM5", "5" or
// "\\.\COM5"). With wholeReport false only what concerns that port.
std::vector<DoctorFinding> windowsConnectionChecks(const WindowsSystemView& system, const std::string& port,
                                                   bool wholeReport = true);

// The first problem of opening this port as one sentence, "" when it opens:
// what "Can't open serial port" is followed by.
std::string windowsPortOpenFailure(const WindowsSystemView& system, const std::string& port);

}  // namespace varnel
