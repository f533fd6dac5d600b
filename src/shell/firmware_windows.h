#pragma once

#include <optional>
#include <string>
#include <vector>

#include "firmware/firmware_list.h"
#include "shell/app_context.h"

namespace varnel {

// The firmware-initialisation window, shown for a blank or unrecognised
// firmware or when a reload was asked for: the user picks a file or a
// release from the network, and the window ends with kResultReconnect once
// the new firmware is written. Cancel only.
class FirmwareInitWindow {
public:
    explicit FirmwareInitWindow(AppContext& context) : context_(context) {}

    // The message replacing the layout's own, when there is one.
    std::optional<std::string> messageText() const;
    std::string hardwareText() const;

    // The result to end the window with, or 0 to stay.
    int filePressed();
    int networkPressed();

private:
    AppContext& context_;
};

// The release list: the releases published for the current chip, fetched
// when the window opens (whatever the fetch brings, it opens: the user may
// cancel), and the one the user picks downloaded straight into the flash
// image.
class FirmwareDownloadWindow {
public:
    explicit FirmwareDownloadWindow(AppContext& context);

    const std::vector<FirmwareRelease>& releases() const { return releases_; }
    // OK or a double click on `row` (-1 for none): true when the firmware
    // is in the image and the window may close.
    bool okPressed(int row);

private:
    AppContext& context_;
    std::vector<FirmwareRelease> releases_;
};

}  // namespace varnel
