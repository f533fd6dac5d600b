#pragma once

#include <memory>
#include <string>

#include <QDialog>

#include "link/write_progress.h"
#include "ui/app_context.h"

namespace Ui {
class WriteProgressDialog;
}

namespace varnel {

class BootLink;

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
    int performWrite(BootLink& link);

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

// Writes the session's image to the connected tracker in a progress dialog
// and waits for the user's OK. A note (where the backup went) is shown under
// the final status.
int runWriteProgressDialog(AppContext& context, QWidget* parent, const std::string& note = {});

}  // namespace varnel
