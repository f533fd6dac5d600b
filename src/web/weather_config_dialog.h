#pragma once

#include <memory>

#include "forms/weather/weather_form.h"
#include "shell/weather_window.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// The weather station's window (family 1) over the shell's WeatherWindow.
class CWeatherConfigDialog : public PageView<WeatherView> {
public:
    CWeatherConfigDialog(PageLoop& loop, AppContext& context)
        : PageView(loop, "WeatherConfigDialog"), window_(context, *this) {}

    void readForm(WeatherForm& form) override { binding_->fromControls(form); }
    void showForm(const WeatherForm& form) override { binding_->toControls(form); }
    void showTitle(const std::string& title) override { setTitle(title); }

private:
    void onOpen() override;
    void onClick(const std::string& name) override;
    void onChange(const std::string& name) override;
    void onClose() override { window_.exitRequested(); }

    WeatherWindow window_;
    std::unique_ptr<FormBinding<WeatherForm>> binding_;
};

}  // namespace varnel::web
