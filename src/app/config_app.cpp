#include "app/config_app.h"

#include <iostream>

#include "app/unattended_load.h"
#include "link/boot_link.h"
#include "link/port_resolver.h"
#include "session/session.h"
#include "ui/connect_dialog.h"
#include "ui/firmware_init_dialog.h"
#include "ui/port_slots.h"
#include "ui/tracker_config_dialog.h"
#include "ui/weather_config_dialog.h"

namespace varnel {

CConfigApp::CConfigApp(AppContext& context, AppOptions options)
    : context_(context), options_(std::move(options)) {
    dialogs_.tracker = [this] {
        CTrackerConfigDialog dialog(context_);
        return dialog.exec();
    };
    dialogs_.weather = [this] {
        CWeatherConfigDialog dialog(context_);
        return dialog.exec();
    };
    dialogs_.firmwareInit = [this] {
        CFirmwareInitDialog dialog(context_);
        return dialog.exec();
    };
}

std::string CConfigApp::resolveLegacyPort(char portDigit) const {
    std::vector<PortDescription> ports;
    for (const PortSlot& s : detectPortSlots(QString::fromStdString(options_.portPath)))
        ports.push_back({s.path.toStdString(), s.tooltip.toStdString()});
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
        return runUnattendedLoad(context_, options_.legacyCommandLine,
                                 resolveLegacyPort(request.portDigit));
    }

    CConnectDialog connectDialog(context_, QString::fromStdString(options_.portPath));
    if (connectDialog.exec() != QDialog::Accepted) {
        s.port->closePort();
        return 0;
    }
    const LoopEnd end = runDialogLoop(s, context_.ui, dialogs_);
    if (end == LoopEnd::LeaveBootloader) {
        BootLink link(s, context_.ui);
        if (s.port->isOpen()) link.leaveBootloader();
    }
    s.port->closePort();
    return 0;
}

}  // namespace varnel
