#pragma once

#include <memory>

#include <QDialog>

#include "shell/firmware_windows.h"

namespace Ui {
class FirmwareInitDialog;
}

namespace varnel {

// The firmware-initialisation window's widgets over FirmwareInitWindow.
class CFirmwareInitDialog : public QDialog {
    Q_OBJECT
public:
    CFirmwareInitDialog(AppContext& context, QWidget* parent = nullptr);
    ~CFirmwareInitDialog() override;

    QString messageText() const;
    QString hardwareText() const;

private:
    void finishIfWritten(int result);

    std::unique_ptr<Ui::FirmwareInitDialog> ui_;
    FirmwareInitWindow window_;
};

}  // namespace varnel
