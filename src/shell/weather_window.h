#pragma once

#include <string>

#include "forms/weather/weather_form.h"
#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

class WeatherView : public WindowHost {
public:
    virtual void readForm(WeatherForm& form) = 0;
    virtual void showForm(const WeatherForm& form) = 0;
    virtual void showTitle(const std::string& title) = 0;
};

// The window for trackers running the weather-station firmware: its one
// record, Write (or Connect when offline), configuration files, new firmware
// and the diagnostics window. Its controls report here by id, and this
// decides what each does; every rule of a control is the form's. Ends with
// kResultReconnect after new firmware was written or when an offline Write
// connected a station.
class WeatherWindow : public ControlEvents {
public:
    WeatherWindow(AppContext& context, WeatherView& view) : context_(context), view_(view) {}

    WeatherForm& form() { return form_; }
    // Fills the form from the session; the title names the file an offline
    // run edits.
    void start();

    void clicked(int controlId) override;
    // The wind vane's degrees follow the slider as it moves.
    void edited(int controlId) override;
    // Exit, Escape or the window's close button: asks before dropping edits.
    void exitRequested();

private:
    void controlChanged(int controlId);
    void writePressed();
    void saveFilePressed();
    void loadFilePressed();
    void backupsPressed();
    void firmwarePressed(bool fromNetwork);
    void diagnosticsPressed();
    int storeControls();

    AppContext& context_;
    WeatherView& view_;
    WeatherForm form_;
};

}  // namespace varnel
