#include "ui/file_chooser.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace varnel {

namespace {

std::string choose(QFileDialog::AcceptMode mode, const std::string& filter, const std::string& suffix,
                   const std::string& name = {}) {
    QFileDialog dialog(QApplication::activeWindow(), QString(), QString(), QString::fromStdString(filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(suffix));
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!name.empty()) dialog.selectFile(QString::fromStdString(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace

std::string QtFileChooser::openFile(const std::string& filter, const std::string& suffix) {
    return choose(QFileDialog::AcceptOpen, filter, suffix);
}

std::string QtFileChooser::saveFile(const std::string& filter, const std::string& suffix, const std::string& name) {
    return choose(QFileDialog::AcceptSave, filter, suffix, name);
}

}  // namespace varnel
