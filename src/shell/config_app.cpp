#include "shell/config_app.h"

#include <iostream>

#include "shell/unattended_load.h"
#include "link/boot_link.h"
#include "serial/port_resolver.h"
#include "session/session.h"
#include "shell/front_end.h"
#include "shell/port_slots.h"

namespace varnel {

CConfigApp::CConfigApp(AppContext& context, AppOptions options) : context_(context), options_(std::move(options)) {
    dialogs_.tracker = [this] { return context_.windows.run(WindowKind::Tracker, context_); };
    dialogs_.weather = [this] { return context_.windows.run(WindowKind::Weather, context_); };
    dialogs_.firmwareInit = [this] { return context_.windows.run(WindowKind::FirmwareInit, context_); };
}

std::string CConfigApp::resolveLegacyPort(char portDigit) const {
    std::vector<PortDescription> ports;
    for (const PortSlot& s : portSlots(context_.windows, options_.portPath)) ports.push_back({s.path, s.tooltip});
    return resolvePortName(std::string("COM") + portDigit, ports);
}

int CConfigApp::run() {
    Session& s = context_.session;
    s.link.connected = false;
    s.link.sameTargetReconnected = false;
    if (!options_.error.empty()) {
        std::cerr << "varnelcfg: " << options_.error << '\n';
        return 1;
    }

    if (options_.legacyCommandLine.size() >= kUnattendedMinLength) {
        const UnattendedRequest request = parseUnattended(options_.legacyCommandLine);
        return runUnattendedLoad(context_, options_.legacyCommandLine, resolveLegacyPort(request.portDigit));
    }

    LoopEnd end;
    do {
        if (context_.windows.runConnect(context_, options_.portPath) != kResultAccepted) {
            s.port->closePort();
            return 0;
        }
        end = runDialogLoop(s, context_.ui, dialogs_);
        // A tracker that connected but whose settings did not come (a cable
        // that fails, an adapter too slow for the read's gap) is connected
        // again from the connect window, once the user has fixed it.
        if (end == LoopEnd::ReadFailed) {
            // Back to its firmware, so that it answers the next Connect.
            BootLink link(s, context_.ui);
            if (s.port->isOpen()) link.leaveBootloader();
            s.port->closePort();
            s.link.connected = false;
            s.link.chipName.clear();
        }
    } while (end == LoopEnd::ReadFailed);
    if (end == LoopEnd::LeaveBootloader) {
        BootLink link(s, context_.ui);
        if (s.port->isOpen()) link.leaveBootloader();
    }
    s.port->closePort();
    return 0;
}

}  // namespace varnel
