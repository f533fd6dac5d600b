#pragma once

#include <QString>

class QWidget;

namespace varnel {

// The file dialogs, behind an interface so the offscreen tests can answer
// them. An empty result means the user cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // filter in Qt's form, e.g. "Firmware Files (*.s19)"; suffix without the dot.
    virtual QString openFile(QWidget* parent, const QString& filter, const QString& suffix) = 0;
    virtual QString saveFile(QWidget* parent, const QString& filter, const QString& suffix) = 0;
};

class QtFileChooser : public FileChooser {
public:
    QString openFile(QWidget* parent, const QString& filter, const QString& suffix) override;
    QString saveFile(QWidget* parent, const QString& filter, const QString& suffix) override;
};

}  // namespace varnel
