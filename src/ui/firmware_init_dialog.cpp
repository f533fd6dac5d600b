#include "ui/firmware_init_dialog.h"

#include "session/session.h"
#include "ui/firmware_sequences.h"
#include "ui_firmware_init_dialog.h"

namespace varnel {

CFirmwareInitDialog::CFirmwareInitDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::FirmwareInitDialog>()) {
    ui_->setupUi(this);
    const SettingsRecord& settings = context_.session.settings;
    // Type 0 is what a blank tracker (or one whose settings were never read,
    // when a reload was asked for at connect) gives; anything else is firmware
    // this program does not know.
    if (settings.type() == 0) {
        ui_->messageLabel->setText(
            "Blank firmware detected, or reload selected.  Please select firmware source.");
    }
    ui_->hardwareLabel->setText(QString::asprintf(
        "Type:%d Build:%d Target:%s", settings.type(), settings.build(),
        context_.session.link.deviceInfo.deviceId.c_str()));

    connect(ui_->fileButton, &QPushButton::clicked, this,
            [this] { finishIfWritten(initialiseFromFile(context_, this)); });
    connect(ui_->networkButton, &QPushButton::clicked, this,
            [this] { finishIfWritten(initialiseFromNetwork(context_, this)); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CFirmwareInitDialog::~CFirmwareInitDialog() = default;

QString CFirmwareInitDialog::messageText() const { return ui_->messageLabel->text(); }
QString CFirmwareInitDialog::hardwareText() const { return ui_->hardwareLabel->text(); }

void CFirmwareInitDialog::finishIfWritten(int result) {
    if (result == kResultReconnect) done(kResultReconnect);
}

}  // namespace varnel
