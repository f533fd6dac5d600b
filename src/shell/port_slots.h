#pragma once

#include <string>
#include <vector>

#include "serial/port_resolver.h"
#include "shell/front_end.h"

namespace varnel {

// How a platform names the ports the connect window offers.
enum class PortNaming {
    ComNumbers,    // Windows: slot n is COMn, all sixteen, those present described
    DevicePaths,   // Linux, macOS: the devices found, a --port path first; another may be typed
    GrantedPorts,  // a page: the ports the user has granted it, then the page's own
};

#if defined(_WIN32)
inline constexpr PortNaming kPlatformPortNaming = PortNaming::ComNumbers;
#elif defined(__EMSCRIPTEN__)
inline constexpr PortNaming kPlatformPortNaming = PortNaming::GrantedPorts;
#else
inline constexpr PortNaming kPlatformPortNaming = PortNaming::DevicePaths;
#endif

// Whether the connect window has a box to type a device path into: only
// where ports are device paths. Windows names its ports, a page opens only
// the ports it offers.
constexpr bool typedPathShown(PortNaming naming) { return naming == PortNaming::DevicePaths; }

// The connect window's slots in order, at most kMaxPortSlots. `present` is
// the system's port list (listSerialPorts, what `varnelcfg-cli ports`
// prints), `extraPath` a device given with --port ("" for none), `own` the
// slots only the front end can offer (the page's emulated trackers), after
// the rest.
std::vector<PortSlot> makePortSlots(PortNaming naming, const std::vector<PortDescription>& present,
                                    const std::string& extraPath, const std::vector<PortSlot>& own);

// This platform's slots now, from the front end's ports.
std::vector<PortSlot> portSlots(Windows& windows, const std::string& extraPath);

}  // namespace varnel
