#include "shell/firmware_windows.h"

#include <cstdio>

#include "core/user_interface.h"
#include "firmware/firmware_download.h"
#include "session/session.h"
#include "shell/firmware_sequences.h"

namespace varnel {

std::optional<std::string> FirmwareInitWindow::messageText() const {
    // Type 0 is what a blank tracker (or one whose settings were never read,
    // when a reload was asked for at connect) gives; anything else is firmware
    // this program does not know, which the layout's own text says.
    if (context_.session.settings.type() != 0) return std::nullopt;
    return "Blank firmware detected, or reload selected.  Please select firmware source.";
}

std::string FirmwareInitWindow::hardwareText() const {
    const SettingsRecord& settings = context_.session.settings;
    char text[160];
    std::snprintf(text, sizeof text, "Type:%d Build:%d Target:%s", settings.type(), settings.build(),
                  context_.session.link.deviceInfo.deviceId.c_str());
    return text;
}

int FirmwareInitWindow::filePressed() {
    return initialiseFromFile(context_) == kResultReconnect ? kResultReconnect : 0;
}

int FirmwareInitWindow::networkPressed() {
    return initialiseFromNetwork(context_) == kResultReconnect ? kResultReconnect : 0;
}

FirmwareDownloadWindow::FirmwareDownloadWindow(AppContext& context) : context_(context) {
    fetchFirmwareList(context_.http, context_.firmwareServer, context_.session.link.chipName, releases_, context_.ui);
}

bool FirmwareDownloadWindow::okPressed(int row) {
    if (row < 0 || row >= static_cast<int>(releases_.size())) return false;
    if (downloadFirmware(context_.http, context_.mirrorServer, releases_[row].file, context_.session.image,
                         context_.ui) != 0) {
        context_.ui.message("Firmware download unsuccessful", MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace varnel
