#include "win32/weather_config_dialog.h"

namespace varnel::win32 {

namespace id = weather_id;

CWeatherConfigDialog::CWeatherConfigDialog(AppContext& context)
    : ModalDialog(L"WeatherConfigDialog"), window_(context, *this) {}

void CWeatherConfigDialog::onInit() {
    binding_ = std::make_unique<FormBinding<WeatherForm>>(window(), kWeatherControls);
    binding_->takeCaptions(window_.form());
    window_.start();
    addAboutEntry();
}

void CWeatherConfigDialog::onCommand(int controlId, int code, HWND control) {
    (void)control;
    if (binding_->updating() || code != BN_CLICKED) return;
    switch (controlId) {
    // Exit, Escape and the close button (all IDCANCEL) ask before
    // dropping edits.
    case id::kExitButton: return window_.exitRequested();
    case id::kWriteButton: return window_.writePressed();
    case id::kSaveButton: return window_.saveFilePressed();
    case id::kLoadButton: return window_.loadFilePressed();
    case id::kBackupsButton: return window_.backupsPressed();
    case id::kFirmwareFileButton: return window_.firmwarePressed(false);
    case id::kFirmwareNetworkButton: return window_.firmwarePressed(true);
    case id::kDiagnosticsButton: return window_.diagnosticsPressed();
    case id::kLatHemisphere:
    case id::kLonHemisphere: return window_.controlChanged(controlId);
    default: return;
    }
}

// The vane's label follows the slider as it moves, not only when let go.
void CWeatherConfigDialog::onScroll(HWND control, int code) {
    (void)code;
    if (!binding_->updating() && GetDlgCtrlID(control) == id::kWindVane) window_.controlChanged(id::kWindVane);
}

}  // namespace varnel::win32
