#pragma once

#include <memory>
#include <vector>

#include <QDialog>

#include "firmware/firmware_list.h"
#include "ui/app_context.h"

namespace Ui {
class FirmwareDownloadDialog;
}

namespace varnel {

// Offers the releases published for the current chip and downloads the one
// the user picks straight into the flash image. Ends with Accepted only when
// the firmware is in the image.
class CFirmwareDownloadDialog : public QDialog {
    Q_OBJECT
public:
    CFirmwareDownloadDialog(AppContext& context, QWidget* parent = nullptr);
    ~CFirmwareDownloadDialog() override;

    const std::vector<FirmwareRelease>& releases() const { return releases_; }

public slots:
    void accept() override;  // OK or a double click: download the selected row

private:
    AppContext& context_;
    std::unique_ptr<Ui::FirmwareDownloadDialog> ui_;
    std::vector<FirmwareRelease> releases_;
};

}  // namespace varnel
