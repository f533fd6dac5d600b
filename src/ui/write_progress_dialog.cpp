#include "ui/write_progress_dialog.h"

#include <QApplication>

#include "ui/accessibility.h"
#include "ui_write_progress_dialog.h"

namespace varnel {

CWriteProgressDialog::CWriteProgressDialog(ProgressTask task, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::WriteProgressDialog>()), window_(*this, std::move(task)) {
    ui_->setupUi(this);
    // Modal from the moment it appears: nothing else may be touched mid-write.
    setWindowModality(Qt::ApplicationModal);
    connect(ui_->okButton, &QPushButton::clicked, this, [this] { window_.okPressed(); });
}

CWriteProgressDialog::~CWriteProgressDialog() = default;

void CWriteProgressDialog::showNow() {
    show();
    QApplication::processEvents();
}

void CWriteProgressDialog::showBar(int low, int high, int position) {
    ui_->progressBar->setRange(low, high);
    ui_->progressBar->setValue(position);
    ui_->progressBar->repaint();
    announceChange(*ui_->progressBar);
}

void CWriteProgressDialog::showStatus(const std::string& text) {
    ui_->statusLabel->setText(QString::fromStdString(text));
    ui_->statusLabel->repaint();
    announceChange(*ui_->statusLabel);
}

void CWriteProgressDialog::showNote(const std::string& statusAndNote) {
    showStatus(statusAndNote);
    // The note (the backup's path) is usually wider than the window was.
    adjustSize();
}

void CWriteProgressDialog::showBusy(bool on) {
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

void CWriteProgressDialog::setOkEnabled(bool on) { ui_->okButton->setEnabled(on); }
void CWriteProgressDialog::focusOk() { ui_->okButton->setFocus(); }

QString CWriteProgressDialog::statusText() const { return ui_->statusLabel->text(); }
int CWriteProgressDialog::progressValue() const { return ui_->progressBar->value(); }
int CWriteProgressDialog::progressMaximum() const { return ui_->progressBar->maximum(); }
bool CWriteProgressDialog::okEnabled() const { return ui_->okButton->isEnabled(); }

}  // namespace varnel
