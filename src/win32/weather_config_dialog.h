#pragma once

#include <memory>

#include "forms/weather/weather_form.h"
#include "shell/weather_window.h"
#include "win32/form_binding.h"
#include "win32/win32_text.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The weather-station dialog (family 1), bound through the weather form's
// table, its events forwarded to the shell's WeatherWindow.
class CWeatherConfigDialog : public ModalDialog, public DialogHost<WeatherView, CWeatherConfigDialog> {
public:
    explicit CWeatherConfigDialog(AppContext& context);

    void readForm(WeatherForm& form) override { binding_->fromControls(form); }
    void showForm(const WeatherForm& form) override { binding_->toControls(form); }
    void showTitle(const std::string& title) override { SetWindowTextW(window(), wideFromUtf8(title).c_str()); }

    WeatherWindow& behaviour() { return window_; }

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void onScroll(HWND control, int code) override;

    WeatherWindow window_;
    std::unique_ptr<FormBinding<WeatherForm>> binding_;
};

}  // namespace varnel::win32
