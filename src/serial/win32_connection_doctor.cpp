#include <windows.h>
// (setupapi.h and cfgmgr32.h need windows.h first.)
#include <cfgmgr32.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "serial/connection_doctor.h"
#include "serial/port_open_reason.h"
#include "serial/windows_connection_checks.h"

// The connection doctor on Windows: the devices SetupAPI lists, with their
// registry keys, and the ports as they open.

namespace varnel {

namespace {

std::string utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string out(static_cast<std::size_t>(bytes - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string property(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD which) {
    wchar_t text[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, which, &type, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return {};
    return utf8(text);
}

// PortName and LatencyTimer live in the device's own key ("Device
// Parameters" under its Enum entry).
void readDeviceKey(HDEVINFO set, SP_DEVINFO_DATA& info, WindowsDevice& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return;
    wchar_t port[64] = {};
    DWORD bytes = sizeof port - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(port), &bytes) == ERROR_SUCCESS &&
        type == REG_SZ)
        device.portName = utf8(port);
    DWORD latency = 0;
    bytes = sizeof latency;
    if (RegQueryValueExW(key, L"LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&latency), &bytes) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
        device.latencyTimerMs = latency;
    RegCloseKey(key);
}

// Every present USB device, FTDI's FTDIBUS children and the Ports class.
std::vector<WindowsDevice> presentDevices() {
    std::vector<WindowsDevice> devices;
    const HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return devices;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        wchar_t id[512] = {};
        if (!SetupDiGetDeviceInstanceIdW(set, &info, id, 511, nullptr)) continue;
        WindowsDevice device;
        device.instanceId = utf8(id);
        const bool usb = device.instanceId.rfind("USB\\", 0) == 0 || device.instanceId.rfind("FTDIBUS\\", 0) == 0;
        if (!usb && property(set, info, SPDRP_CLASS) != "Ports") continue;
        device.name = property(set, info, SPDRP_FRIENDLYNAME);
        if (device.name.empty()) device.name = property(set, info, SPDRP_DEVICEDESC);
        device.service = property(set, info, SPDRP_SERVICE);
        device.manufacturer = property(set, info, SPDRP_MFG);
        ULONG status = 0, problem = 0;
        if (CM_Get_DevNode_Status(&status, &problem, info.DevInst, 0) == CR_SUCCESS && (status & DN_HAS_PROBLEM))
            device.problem = problem;
        readDeviceKey(set, info, device);
        devices.push_back(std::move(device));
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

WindowsOpen openPort(const std::string& port) {
    const std::string path = portSlotFromName(port) ? "\\\\.\\" + port : port;
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return WindowsOpen::Opens;
    }
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return WindowsOpen::InUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return WindowsOpen::Missing;
    default: return WindowsOpen::Refused;
    }
}

WindowsSystemView realSystem(bool withDevices) {
    return {readSerialComm(), withDevices ? presentDevices() : std::vector<WindowsDevice>{}, openPort};
}

}  // namespace

std::vector<DoctorFinding> connectionReport(const std::string& port) {
    return windowsConnectionChecks(realSystem(true), port, true);
}

std::vector<DoctorFinding> portFindings(const std::string& port, bool openedHere) {
    WindowsSystemView system = realSystem(true);
    // Our own exclusive open would read as another program holding it.
    if (openedHere) system.open = [](const std::string&) { return WindowsOpen::Opens; };
    std::vector<DoctorFinding> findings = windowsConnectionChecks(system, port, false);
    std::erase_if(findings, [](const DoctorFinding& f) { return f.level == FindingLevel::Ok; });
    return findings;
}

// Windows does not say which program holds a COM port.
std::string describePortHolder(const std::string&) { return {}; }

std::string describePortOpenFailure(const std::string& path) { return windowsPortOpenFailure(realSystem(false), path); }

}  // namespace varnel
