#include "ui/firmware_download_dialog.h"

#include "core/user_interface.h"
#include "firmware/firmware_download.h"
#include "session/session.h"
#include "ui_firmware_download_dialog.h"

namespace varnel {

CFirmwareDownloadDialog::CFirmwareDownloadDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::FirmwareDownloadDialog>()) {
    ui_->setupUi(this);
    ui_->releaseList->setColumnWidth(0, 390);
    ui_->releaseList->setColumnWidth(1, 90);
    ui_->releaseList->setColumnWidth(2, 120);
    connect(ui_->okButton, &QPushButton::clicked, this, &CFirmwareDownloadDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->releaseList, &QTreeWidget::itemDoubleClicked, this,
            &CFirmwareDownloadDialog::accept);

    // Whatever the list fetch brings, the dialog opens: the user may cancel.
    fetchFirmwareList(context_.http, context_.firmwareServer, context_.session.link.chipName,
                      releases_, context_.ui);
    for (const FirmwareRelease& r : releases_) {
        new QTreeWidgetItem(ui_->releaseList,
                            {QString::fromStdString(r.description), QString::fromStdString(r.date),
                             QString::fromStdString(r.file)});
    }
}

CFirmwareDownloadDialog::~CFirmwareDownloadDialog() = default;

void CFirmwareDownloadDialog::accept() {
    QTreeWidgetItem* item = ui_->releaseList->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    const int row = ui_->releaseList->indexOfTopLevelItem(item);
    if (row < 0 || row >= static_cast<int>(releases_.size())) return;
    if (downloadFirmware(context_.http, context_.mirrorServer, releases_[row].file,
                         context_.session.image, context_.ui) != 0) {
        context_.ui.message("Firmware download unsuccessful");
        return;
    }
    QDialog::accept();
}

}  // namespace varnel
