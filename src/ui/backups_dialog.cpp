#include "ui/backups_dialog.h"

#include <QIcon>
#include <QPushButton>

#include "ui/qt_timers.h"
#include "ui_backups_dialog.h"

namespace varnel {

namespace id = backups_id;

CBackupsDialog::CBackupsDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::BackupsDialog>()), window_(context, *this) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<FormBinding<BackupsForm>>(*this, kBackupsControls);
    for (const std::string& name : binding_->missing())
        qWarning("backups dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(window_.form());
    window_.start();
    const std::pair<int, void (BackupsWindow::*)()> buttons[] = {
        {id::kWriteBack, &BackupsWindow::writeBackPressed},
        {id::kSaveCopy, &BackupsWindow::saveCopyPressed},
        {id::kClose, &BackupsWindow::closePressed},
    };
    for (const auto& [controlId, command] : buttons)
        if (auto* button = qobject_cast<QPushButton*>(binding_->widget(controlId)))
            connect(button, &QPushButton::clicked, this, [this, command = command] { (window_.*command)(); });
}

CBackupsDialog::~CBackupsDialog() = default;

void CBackupsDialog::pause(int ms) { QtTimers::pause(ms); }

}  // namespace varnel
