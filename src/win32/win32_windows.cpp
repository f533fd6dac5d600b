#include "win32/win32_windows.h"

#include "win32/about_box.h"
#include "win32/backups_dialog.h"
#include "win32/connect_dialog.h"
#include "win32/diagnostics_dialog.h"
#include "win32/firmware_dialogs.h"
#include "win32/listing_dialog.h"
#include "win32/satellite_dialogs.h"
#include "win32/script_editor_dialog.h"
#include "win32/tracker_config_dialog.h"
#include "win32/weather_config_dialog.h"
#include "win32/window_host.h"
#include "win32/write_progress_dialog.h"

namespace varnel::win32 {

namespace {

template <class Dialog>
int runModal(AppContext& context) {
    Dialog dialog(context);
    return shellResult(dialog.run(GetActiveWindow()));
}

}  // namespace

int Win32Windows::run(WindowKind kind, AppContext& context) {
    switch (kind) {
    case WindowKind::Tracker: return runModal<CTrackerConfigDialog>(context);
    case WindowKind::Weather: return runModal<CWeatherConfigDialog>(context);
    case WindowKind::SmartBeacon: return runModal<CSmartBeaconDialog>(context);
    case WindowKind::Frequency: return runModal<CFrequencyDialog>(context);
    case WindowKind::StatusText: return runModal<CStatusTextDialog>(context);
    case WindowKind::AccessList: return runModal<CAccessListDialog>(context);
    case WindowKind::Digipeater: return runModal<CDigipeaterDialog>(context);
    case WindowKind::ProfileSwitch: return runModal<CProfileSwitchDialog>(context);
    case WindowKind::About: showAboutBox(GetActiveWindow()); return kResultAccepted;
    case WindowKind::FirmwareInit: return runModal<CFirmwareInitDialog>(context);
    case WindowKind::FirmwareDownload: return runModal<CFirmwareDownloadDialog>(context);
    case WindowKind::ScriptEditor: return runModal<CScriptEditorDialog>(context);
    case WindowKind::Backups: return runModal<CBackupsDialog>(context);
    }
    return kResultRejected;
}

int Win32Windows::runConnect(AppContext& context, const std::string& extraPath) {
    CConnectDialog dialog(context, extraPath);
    return shellResult(dialog.run(GetActiveWindow()));
}

int Win32Windows::runDiagnostics(AppContext& context, DiagnosticsSettings& settings) {
    CDiagnosticsDialog dialog(context, settings);
    const int result = shellResult(dialog.run(GetActiveWindow()));
    settings = dialog.settings();
    return result;
}

void Win32Windows::runListing(AppContext& context, const std::string& title, const std::string& text) {
    CListingDialog(title, text, context).run(GetActiveWindow());
}

int Win32Windows::runProgress(const ProgressTask& task) {
    CWriteProgressDialog dialog(task);
    dialog.run(GetActiveWindow());
    return dialog.result();
}

}  // namespace varnel::win32
