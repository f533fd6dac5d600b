#include "ui/firmware_download_dialog.h"

#include "ui_firmware_download_dialog.h"

namespace varnel {

CFirmwareDownloadDialog::CFirmwareDownloadDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FirmwareDownloadDialog>()), window_(context) {
    ui_->setupUi(this);
    ui_->releaseList->setColumnWidth(0, 390);
    ui_->releaseList->setColumnWidth(1, 90);
    ui_->releaseList->setColumnWidth(2, 120);
    connect(ui_->okButton, &QPushButton::clicked, this, &CFirmwareDownloadDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->releaseList, &QTreeWidget::itemDoubleClicked, this, &CFirmwareDownloadDialog::accept);

    for (const FirmwareRelease& r : window_.releases()) {
        new QTreeWidgetItem(ui_->releaseList, {QString::fromStdString(r.description), QString::fromStdString(r.date),
                                               QString::fromStdString(r.file)});
    }
}

CFirmwareDownloadDialog::~CFirmwareDownloadDialog() = default;

void CFirmwareDownloadDialog::accept() {
    QTreeWidgetItem* item = ui_->releaseList->currentItem();
    const int row = item != nullptr && item->isSelected() ? ui_->releaseList->indexOfTopLevelItem(item) : -1;
    if (window_.okPressed(row)) QDialog::accept();
}

}  // namespace varnel
