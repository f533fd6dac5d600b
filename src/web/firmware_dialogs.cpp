#include "web/firmware_dialogs.h"

namespace varnel::web {

void CFirmwareInitDialog::onOpen() {
    if (const auto text = window_.messageText()) page::setText(token(), "messageLabel", *text);
    page::setText(token(), "hardwareLabel", window_.hardwareText());
}

void CFirmwareInitDialog::onClick(const std::string& name) {
    int result = 0;
    if (name == "fileButton") result = window_.filePressed();
    else if (name == "networkButton") result = window_.networkPressed();
    else if (name == "cancelButton") return end(kResultRejected);
    // Closed only once new firmware was written.
    if (result != 0) end(result);
}

void CFirmwareDownloadDialog::onOpen() {
    std::string rows;
    for (const FirmwareRelease& release : window_.releases()) {
        if (!rows.empty()) rows += '\x1e';
        rows += release.description + '\x1f' + release.date + '\x1f' + release.file;
    }
    page::setTableRows(token(), "releaseList", rows);
}

void CFirmwareDownloadDialog::accept() {
    if (window_.okPressed(page::selectedTableRow(token(), "releaseList"))) end(kResultAccepted);
}

void CFirmwareDownloadDialog::onClick(const std::string& name) {
    if (name == "okButton") accept();
    else if (name == "cancelButton") end(kResultRejected);
}

void CFirmwareDownloadDialog::onActivate(const std::string& name) {
    if (name == "releaseList") accept();
}

}  // namespace varnel::web
