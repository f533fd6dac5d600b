#pragma once

#include "forms/weather/weather_form.h"
#include "shell/weather_window.h"
#include "web/forwarding_view.h"

namespace varnel::web {

// The weather station's window (family 1) over the shell's WeatherWindow.
class CWeatherConfigDialog : public ForwardingView<WeatherView, WeatherWindow, WeatherForm> {
public:
    CWeatherConfigDialog(PageLoop& loop, AppContext& context)
        : ForwardingView(loop, "WeatherConfigDialog", context, kWeatherControls) {}
};

}  // namespace varnel::web
