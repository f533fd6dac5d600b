#include "web/page_windows.h"

#include "shell/satellite_windows.h"
#include "web/backup_storage.h"
#include "web/backups_dialog.h"
#include "web/connect_dialog.h"
#include "web/diagnostics_dialog.h"
#include "web/firmware_dialogs.h"
#include "web/listing_dialog.h"
#include "web/script_editor_dialog.h"
#include "web/weather_config_dialog.h"
#include "web/form_dialog.h"
#include "web/tracker_config_dialog.h"
#include "serial/web_serial_port.h"
#include "web/write_progress_dialog.h"

namespace varnel::web {

namespace {

template <class Form>
int runSatellite(PageLoop& loop, const char* uiName, AppContext& context, const SatelliteWindow<Form>& window) {
    FormDialog<Form> dialog(loop, uiName, context, window);
    return dialog.run();
}

}  // namespace

int PageWindows::run(WindowKind kind, AppContext& context) {
    switch (kind) {
    case WindowKind::Tracker: {
        CTrackerConfigDialog dialog(loop_, context);
        return dialog.run();
    }
    case WindowKind::SmartBeacon: return runSatellite(loop_, "SmartBeaconDialog", context, kSmartBeaconWindow);
    case WindowKind::Frequency: return runSatellite(loop_, "FrequencyDialog", context, kFrequencyWindow);
    case WindowKind::StatusText: return runSatellite(loop_, "StatusTextDialog", context, kStatusTextWindow);
    case WindowKind::AccessList: return runSatellite(loop_, "AccessListDialog", context, kAccessListWindow);
    case WindowKind::Digipeater: return runSatellite(loop_, "DigipeaterDialog", context, kDigipeaterWindow);
    case WindowKind::ProfileSwitch: return runSatellite(loop_, "ProfileSwitchDialog", context, kProfileSwitchWindow);
    case WindowKind::About:
        loop_.ask("varnelcfg " VARNEL_VERSION "\nConfiguration tool for Varnel APRS trackers\nBuilt " VARNEL_BUILD_DATE,
                  "OK");
        return kResultAccepted;
    case WindowKind::Weather: {
        CWeatherConfigDialog dialog(loop_, context);
        return dialog.run();
    }
    case WindowKind::FirmwareInit: {
        CFirmwareInitDialog dialog(loop_, context);
        return dialog.run();
    }
    case WindowKind::FirmwareDownload: {
        CFirmwareDownloadDialog dialog(loop_, context);
        return dialog.run();
    }
    case WindowKind::ScriptEditor: {
        CScriptEditorDialog dialog(loop_, context);
        return dialog.run();
    }
    case WindowKind::Backups: {
        CBackupsDialog dialog(loop_, context);
        return dialog.run();
    }
    }
    return kResultRejected;
}

int PageWindows::runConnect(AppContext& context, const std::string& extraPath) {
    CConnectDialog dialog(loop_, context, extraPath);
    return dialog.run();
}

int PageWindows::runDiagnostics(AppContext& context, DiagnosticsSettings& settings) {
    CDiagnosticsDialog dialog(loop_, context, settings);
    const int result = dialog.run();
    settings = dialog.settings();
    return result;
}

void PageWindows::runListing(AppContext& context, const std::string& title, const std::string& text) {
    CListingDialog dialog(loop_, context, title, text);
    dialog.run();
}

int PageWindows::runProgress(const ProgressTask& task) {
    // Every write has saved its backup by now: it goes on into the
    // browser's storage while the write runs.
    keepBackups();
    CWriteProgressDialog dialog(loop_, task);
    dialog.run();
    return dialog.result();
}

std::vector<PortSlot> PageWindows::ownPorts() { return trackers_.slots(); }

bool PageWindows::canAddPorts() const { return granted_ports::canAdd(); }

std::string PageWindows::addPort() { return granted_ports::add(); }

}  // namespace varnel::web
