#include "win32/weather_config_dialog.h"

namespace varnel::win32 {

namespace id = weather_id;

CWeatherConfigDialog::CWeatherConfigDialog(WindowContext& context)
    : FormDialog(L"WeatherConfigDialog", kWeatherControls, weatherControlChanged), context_(context) {}

void CWeatherConfigDialog::showForm(WeatherForm& form) { startWeatherForm(form, context_.session); }

int CWeatherConfigDialog::storeForm(const WeatherForm& form) {
    return storeWeatherRecord(form, context_.session, context_.ui);
}

void CWeatherConfigDialog::setUp() { addAboutEntry(); }

void CWeatherConfigDialog::onCommand(int controlId, int code, HWND control) {
    if (binding().updating()) return;
    if (controlId == id::kLatHemisphere || controlId == id::kLonHemisphere) {
        if (code == BN_CLICKED) changed(controlId);
        return;
    }
    if (controlId == id::kExitButton) {
        end(IDCANCEL);
        return;
    }
    (void)control;
}

// The vane's label follows the slider as it moves, not only when let go.
void CWeatherConfigDialog::onScroll(HWND control, int code) {
    (void)code;
    if (!binding().updating() && GetDlgCtrlID(control) == id::kWindVane) changed(id::kWindVane);
}

}  // namespace varnel::win32
