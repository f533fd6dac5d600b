#include "ui/write_progress_dialog.h"

#include <QApplication>

#include "ui/accessibility.h"
#include "ui_write_progress_dialog.h"

namespace varnel {

CWriteProgressDialog::CWriteProgressDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::WriteProgressDialog>()) {
    ui_->setupUi(this);
    // Modal from the moment it appears: nothing else may be touched mid-write.
    setWindowModality(Qt::ApplicationModal);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

CWriteProgressDialog::~CWriteProgressDialog() = default;

int CWriteProgressDialog::performWrite(const std::function<int(WriteProgress&)>& write) {
    // The user watches the whole write: show the window first and let it paint.
    show();
    QApplication::processEvents();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result = write(*this);
    QApplication::restoreOverrideCursor();
    ui_->okButton->setEnabled(true);
    ui_->okButton->setFocus();
    return result;
}

void CWriteProgressDialog::setRange(int low, int high) { ui_->progressBar->setRange(low, high); }

void CWriteProgressDialog::setPosition(int position) {
    ui_->progressBar->setValue(position);
    ui_->progressBar->repaint();
    announceChange(*ui_->progressBar);
}

void CWriteProgressDialog::setStatus(const std::string& text) {
    ui_->statusLabel->setText(QString::fromStdString(text));
    ui_->statusLabel->repaint();
    announceChange(*ui_->statusLabel);
}

QString CWriteProgressDialog::statusText() const { return ui_->statusLabel->text(); }
int CWriteProgressDialog::progressValue() const { return ui_->progressBar->value(); }
int CWriteProgressDialog::progressMaximum() const { return ui_->progressBar->maximum(); }
bool CWriteProgressDialog::okEnabled() const { return ui_->okButton->isEnabled(); }

int runWriteProgressDialog(const std::function<int(WriteProgress&)>& write,
                           const std::function<std::string(int)>& noteFor, QWidget* parent) {
    CWriteProgressDialog dialog(parent);
    const int result = dialog.performWrite(write);
    const std::string note = noteFor ? noteFor(result) : std::string();
    if (!note.empty()) dialog.setStatus(dialog.statusText().toStdString() + "\n" + note);
    // The note (the backup's path) is usually wider than the window was.
    dialog.adjustSize();
    dialog.exec();
    return result;
}

}  // namespace varnel
