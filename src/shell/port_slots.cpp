#include "shell/port_slots.h"

namespace varnel {

std::vector<PortDescription> Windows::presentPorts() { return listSerialPorts(); }

std::vector<DoctorFinding> Windows::connectionReport(const std::string& port) { return varnel::connectionReport(port); }

std::vector<DoctorFinding> Windows::portFindings(const std::string& port, bool openedHere) {
    return varnel::portFindings(port, openedHere);
}

namespace {

std::string withUsbId(const std::string& text, const std::string& usbId) {
    return usbId.empty() ? text : text + " (USB " + usbId + ")";
}

}  // namespace

std::vector<PortSlot> makePortSlots(PortNaming naming, const std::vector<PortDescription>& present,
                                    const std::string& extraPath, const std::vector<PortSlot>& own) {
    std::vector<PortSlot> slots;
    switch (naming) {
    case PortNaming::ComNumbers:
        for (int n = 1; n <= kMaxPortSlots; ++n) {
            const std::string name = "COM" + std::to_string(n);
            slots.push_back({name, name, {}, false});
        }
        for (const PortDescription& port : present)
            if (const auto n = portSlotFromName(port.path); n && *n >= 1 && *n <= kMaxPortSlots) {
                PortSlot& slot = slots[static_cast<std::size_t>(*n - 1)];
                slot.tooltip = withUsbId(port.description, port.usbId);
                slot.present = true;
            }
        return slots;
    case PortNaming::DevicePaths:
        if (!extraPath.empty()) slots.push_back({extraPath, extraPath, "Given on the command line"});
        for (const PortDescription& port : present) {
            if (port.path == extraPath) continue;
            slots.push_back({port.path, port.path.substr(port.path.find_last_of('/') + 1),
                             withUsbId(port.description, port.usbId)});
        }
        break;
    case PortNaming::GrantedPorts:
        // Granted ports first: only the first slots are watched for a
        // tracker being plugged in.
        for (const PortDescription& port : present) {
            PortSlot slot{port.path, withUsbId(port.description, port.usbId), "A serial port this page may use"};
            if (port.usbId.size() == 9)
                slot.tooltip += " (USB vendor " + port.usbId.substr(0, 4) + ", product " + port.usbId.substr(5) + ")";
            slots.push_back(std::move(slot));
        }
        break;
    }
    slots.insert(slots.end(), own.begin(), own.end());
    if (slots.size() > kMaxPortSlots) slots.resize(kMaxPortSlots);
    return slots;
}

std::vector<PortSlot> portSlots(Windows& windows, const std::string& extraPath) {
    return makePortSlots(kPlatformPortNaming, windows.presentPorts(), extraPath, windows.ownPorts());
}

}  // namespace varnel
