#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnel {

// A serial device found on this machine, as the connect dialog and
// `varnelcfg-cli ports` list it.
struct PortDescription {
    std::string path;         // what openPort is given
    std::string description;  // what the user is shown beside it
    std::string usbId = {};   // "0403:6001" (USB vendor:product) where known
};

// "COMn" (any letter case) or a name that starts with a digit names slot n,
// counted from 1; anything else is a device path.
std::optional<int> portSlotFromName(const std::string& name);

// The serial devices present, in slot order: USB adapters, then USB modems
// (CDC ACM), then on-board UARTs that really have hardware behind them, each
// group in numeric order (ttyUSB2 before ttyUSB10). In the browser, the
// ports the user has granted the page.
std::vector<PortDescription> listSerialPorts();

// One value of Windows' list of serial ports: the driver's device name
// ("\Device\VCP0") and the port it was given ("COM5").
struct SerialCommEntry {
    std::string device;
    std::string port;
};

#ifdef _WIN32
// The entries of this machine's registry.
std::vector<SerialCommEntry> readSerialComm();
#endif

// The Windows port list from those entries: COM ports in number order, each
// described by the kind of driver behind it.
std::vector<PortDescription> describeSerialComm(std::vector<SerialCommEntry> entries);

// Orders device paths the way slots are numbered.
void sortPortPaths(std::vector<std::string>& paths);

// Turns what the user typed into the path to open: slot n becomes the n-th
// listed device; a slot with no device keeps the name as typed, so opening it
// fails with the usual message.
std::string resolvePortName(const std::string& name);
std::string resolvePortName(const std::string& name, const std::vector<PortDescription>& ports);

}  // namespace varnel
