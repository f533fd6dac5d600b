#include "ui/qt_windows.h"

#include <QApplication>

#include "ui/about_box.h"
#include "ui/backups_dialog.h"
#include "ui/connect_dialog.h"
#include "ui/diagnostics_dialog.h"
#include "ui/firmware_download_dialog.h"
#include "ui/firmware_init_dialog.h"
#include "ui/listing_dialog.h"
#include "ui/satellite_dialogs.h"
#include "ui/script_editor_dialog.h"
#include "ui/tracker_config_dialog.h"
#include "ui/weather_config_dialog.h"
#include "ui/write_progress_dialog.h"

namespace varnel {

namespace {

QWidget* parent() { return QApplication::activeWindow(); }

template <class Dialog>
int exec(AppContext& context) {
    Dialog dialog(context, parent());
    return dialog.exec();
}

}  // namespace

int QtWindows::run(WindowKind kind, AppContext& context) {
    switch (kind) {
    case WindowKind::Tracker: return exec<CTrackerConfigDialog>(context);
    case WindowKind::Weather: return exec<CWeatherConfigDialog>(context);
    case WindowKind::FirmwareInit: return exec<CFirmwareInitDialog>(context);
    case WindowKind::FirmwareDownload: return exec<CFirmwareDownloadDialog>(context);
    case WindowKind::ScriptEditor: return exec<CScriptEditorDialog>(context);
    case WindowKind::SmartBeacon: return exec<CSmartBeaconDialog>(context);
    case WindowKind::Frequency: return exec<CFrequencyDialog>(context);
    case WindowKind::StatusText: return exec<CStatusTextDialog>(context);
    case WindowKind::AccessList: return exec<CAccessListDialog>(context);
    case WindowKind::Digipeater: return exec<CDigipeaterDialog>(context);
    case WindowKind::ProfileSwitch: return exec<CProfileSwitchDialog>(context);
    case WindowKind::About: showAboutBox(parent()); return kResultAccepted;
    case WindowKind::Backups: return exec<CBackupsDialog>(context);
    }
    return kResultRejected;
}

int QtWindows::runConnect(AppContext& context, const std::string& extraPath) {
    CConnectDialog dialog(context, QString::fromStdString(extraPath), {}, parent());
    return dialog.exec();
}

int QtWindows::runDiagnostics(AppContext& context, DiagnosticsSettings& settings) {
    return runDiagnosticsDialog(context, parent(), settings);
}

void QtWindows::runListing(AppContext& context, const std::string& title, const std::string& text) {
    showListing(context, title, text, parent());
}

int QtWindows::runProgress(const ProgressTask& task) {
    CWriteProgressDialog dialog(task, parent());
    dialog.start();
    dialog.exec();
    return dialog.result();
}

}  // namespace varnel
