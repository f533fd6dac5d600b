#pragma once

#include <memory>
#include <vector>

#include <QDialog>

#include "shell/firmware_windows.h"

namespace Ui {
class FirmwareDownloadDialog;
}

namespace varnel {

// The release list's widgets over FirmwareDownloadWindow. Ends with Accepted
// only when the firmware is in the image.
class CFirmwareDownloadDialog : public QDialog {
    Q_OBJECT
public:
    CFirmwareDownloadDialog(AppContext& context, QWidget* parent = nullptr);
    ~CFirmwareDownloadDialog() override;

    const std::vector<FirmwareRelease>& releases() const { return window_.releases(); }

public slots:
    void accept() override;  // OK or a double click: download the selected row

private:
    std::unique_ptr<Ui::FirmwareDownloadDialog> ui_;
    FirmwareDownloadWindow window_;
};

}  // namespace varnel
