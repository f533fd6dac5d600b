#include "win32/weather_config_dialog.h"

namespace varnel::win32 {

CWeatherConfigDialog::CWeatherConfigDialog(AppContext& context)
    : ModalDialog(L"WeatherConfigDialog"), window_(context, *this) {}

void CWeatherConfigDialog::onInit() {
    binding_ = std::make_unique<FormBinding<WeatherForm>>(window(), kWeatherControls);
    binding_->takeCaptions(window_.form());
    window_.start();
    addAboutEntry();
}

// Exit, Escape and the close button are all IDCANCEL, the exit button's id.
void CWeatherConfigDialog::onCommand(int controlId, int code, HWND control) {
    binding_->forwardCommand(controlId, code, control, window_);
}

void CWeatherConfigDialog::onScroll(HWND control, int) { binding_->forwardScroll(control, window_); }

}  // namespace varnel::win32
