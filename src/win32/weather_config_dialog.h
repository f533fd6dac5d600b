#pragma once

#include "forms/weather/weather_form.h"
#include "win32/form_dialog.h"
#include "win32/window_context.h"

namespace varnel::win32 {

// The weather-station dialog (family 1), bound through the weather form's
// table; the wind vane's label follows its slider and the N/S and E/W
// buttons toggle, as the form says.
class CWeatherConfigDialog : public FormDialog<WeatherForm> {
public:
    explicit CWeatherConfigDialog(WindowContext& context);

private:
    void showForm(WeatherForm& form) override;
    int storeForm(const WeatherForm& form) override;
    void setUp() override;
    void onCommand(int id, int code, HWND control) override;
    void onScroll(HWND control, int code) override;

    WindowContext& context_;
};

}  // namespace varnel::win32
