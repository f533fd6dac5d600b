#pragma once

#include "shell/firmware_windows.h"
#include "web/page_window.h"

namespace varnel::web {

// The firmware window of a blank or unknown tracker (or a reload asked for):
// load from a file or from the network.
class CFirmwareInitDialog : public PageWindow {
public:
    CFirmwareInitDialog(PageLoop& loop, AppContext& context)
        : PageWindow(loop, "FirmwareInitDialog"), window_(context) {}

private:
    void onOpen() override;
    void onClick(const std::string& name) override;

    FirmwareInitWindow window_;
};

// The release list of the firmware server; accepted once the chosen
// firmware is in the image.
class CFirmwareDownloadDialog : public PageWindow {
public:
    CFirmwareDownloadDialog(PageLoop& loop, AppContext& context)
        : PageWindow(loop, "FirmwareDownloadDialog"), window_(context) {}

private:
    void onOpen() override;
    void onClick(const std::string& name) override;
    void onActivate(const std::string& name) override;
    void accept();

    FirmwareDownloadWindow window_;
};

}  // namespace varnel::web
