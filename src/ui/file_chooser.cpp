#include "ui/file_chooser.h"

#include <QFileDialog>

namespace varnel {

namespace {

QString choose(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
               const QString& suffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    // Saving replaces a file without asking, as the tracker tools always have.
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

}  // namespace

QString QtFileChooser::openFile(QWidget* parent, const QString& filter, const QString& suffix) {
    return choose(parent, QFileDialog::AcceptOpen, filter, suffix);
}

QString QtFileChooser::saveFile(QWidget* parent, const QString& filter, const QString& suffix) {
    return choose(parent, QFileDialog::AcceptSave, filter, suffix);
}

}  // namespace varnel
