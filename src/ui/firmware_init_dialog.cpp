#include "ui/firmware_init_dialog.h"

#include "ui_firmware_init_dialog.h"

namespace varnel {

CFirmwareInitDialog::CFirmwareInitDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FirmwareInitDialog>()), window_(context) {
    ui_->setupUi(this);
    if (const auto text = window_.messageText()) ui_->messageLabel->setText(QString::fromStdString(*text));
    ui_->hardwareLabel->setText(QString::fromStdString(window_.hardwareText()));
    connect(ui_->fileButton, &QPushButton::clicked, this, [this] { finishIfWritten(window_.filePressed()); });
    connect(ui_->networkButton, &QPushButton::clicked, this, [this] { finishIfWritten(window_.networkPressed()); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CFirmwareInitDialog::~CFirmwareInitDialog() = default;

QString CFirmwareInitDialog::messageText() const { return ui_->messageLabel->text(); }
QString CFirmwareInitDialog::hardwareText() const { return ui_->hardwareLabel->text(); }

void CFirmwareInitDialog::finishIfWritten(int result) {
    if (result != 0) done(result);
}

}  // namespace varnel
