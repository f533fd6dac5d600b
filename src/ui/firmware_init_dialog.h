#pragma once

#include <memory>

#include <QDialog>

#include "ui/app_context.h"

namespace Ui {
class FirmwareInitDialog;
}

namespace varnel {

// Shown for a blank or unrecognised firmware, or when a reload was asked for:
// the user picks a file or a release from the network, and the dialog ends
// with kResultReconnect once the new firmware is written. Cancel only.
class CFirmwareInitDialog : public QDialog {
    Q_OBJECT
public:
    CFirmwareInitDialog(AppContext& context, QWidget* parent = nullptr);
    ~CFirmwareInitDialog() override;

    QString messageText() const;
    QString hardwareText() const;

private:
    void finishIfWritten(int result);

    AppContext& context_;
    std::unique_ptr<Ui::FirmwareInitDialog> ui_;
};

}  // namespace varnel
