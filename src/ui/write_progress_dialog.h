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

// Runs the write in a progress dialog and waits for the user's OK. A note
// (where the backup went) is shown under the final status.
int runWriteProgressDialog(const std::function<int(WriteProgress&)>& write, const std::string& note,
                           QWidget* parent = nullptr);

}  // namespace varnel
