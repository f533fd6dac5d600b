#pragma once

#include "shell/firmware_windows.h"
#include "win32/modal_dialog.h"

namespace varnel::win32 {

// The firmware-initialisation window (blank or unknown firmware, or a reload
// asked for): a file or a release from the network; it ends once the shell
// has written the new firmware.
class CFirmwareInitDialog : public ModalDialog {
public:
    explicit CFirmwareInitDialog(AppContext& context);

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void finishIfWritten(int result);

    FirmwareInitWindow window_;
};

// The release list of the current chip: description, date and file of each
// release; OK or a double click downloads the chosen one into the image.
class CFirmwareDownloadDialog : public ModalDialog {
public:
    explicit CFirmwareDownloadDialog(AppContext& context);

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    LRESULT onNotify(const NMHDR& header) override;
    void accept();

    FirmwareDownloadWindow window_;
};

}  // namespace varnel::win32
