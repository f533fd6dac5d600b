#pragma once

#include <memory>

#include <QDialog>

#include "ui/app_context.h"

namespace Ui {
class TrackerSummaryDialog;
}

namespace varnel {

// A read-only view of the connected tracker (device, firmware, callsigns)
// with the commands that work on the whole tracker: write the settings back,
// load firmware, export the memory. It stands where the full configuration
// dialog goes for families 0 and 2 until that dialog exists.
class CTrackerSummaryDialog : public QDialog {
    Q_OBJECT
public:
    CTrackerSummaryDialog(AppContext& context, QWidget* parent = nullptr);
    ~CTrackerSummaryDialog() override;

    void refresh();
    QString deviceText() const;
    QString firmwareText() const;
    QString callsignText(int profile) const;

private:
    void writeSettings();

    AppContext& context_;
    std::unique_ptr<Ui::TrackerSummaryDialog> ui_;
};

}  // namespace varnel
