#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QDialog>

#include "link/write_progress.h"

namespace Ui {
class WriteProgressDialog;
}

namespace varnel {

// Shows a write to the tracker as it happens: the window is up before the
// first byte goes out, the status line follows the write's stages, and OK is
// offered once the write has ended, well or badly.
class CWriteProgressDialog : public QDialog, public WriteProgress {
    Q_OBJECT
public:
    explicit CWriteProgressDialog(QWidget* parent = nullptr);
    ~CWriteProgressDialog() override;

    // Runs the write with this dialog as its progress view; returns the
    // write's result (0, or -1 after its messages).
    int performWrite(const std::function<int(WriteProgress&)>& write);

    void setRange(int low, int high) override;
    void setPosition(int position) override;
    void setStatus(const std::string& text) override;

    QString statusText() const;
    int progressValue() const;
    int progressMaximum() const;
    bool okEnabled() const;

private:
    std::unique_ptr<Ui::WriteProgressDialog> ui_;
};

// Runs the write in a progress dialog and waits for the user's OK. The note
// for the write's result (where the backup went; after a failure what is
// incomplete and how to put the backup back) is shown under the final status.
int runWriteProgressDialog(const std::function<int(WriteProgress&)>& write,
                           const std::function<std::string(int)>& noteFor, QWidget* parent = nullptr);

}  // namespace varnel
