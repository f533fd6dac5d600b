#pragma once

#include <memory>

#include <QDialog>

#include "forms/weather/weather_form.h"
#include "ui/app_context.h"
#include "ui/form_binding.h"

namespace Ui {
class WeatherConfigDialog;
}

namespace varnel {

// The window for trackers running the weather-station firmware: its one
// record, Write (or Connect when offline), configuration files and new
// firmware. A view over WeatherForm; every rule is the form's. Ends with
// kResultReconnect after new firmware was written or when an offline Write
// connected a station.
class CWeatherConfigDialog : public QDialog {
    Q_OBJECT
public:
    explicit CWeatherConfigDialog(AppContext& context, QWidget* parent = nullptr);
    ~CWeatherConfigDialog() override;

    const WeatherForm& form() const { return form_; }

    void readControls();
    void showControls();

private:
    void connectControls();
    void onControlChanged(int controlId);
    void onWrite();
    void onSaveFile();
    void onLoadFile();
    void onFirmware(bool fromNetwork);
    void onDiagnostics();
    int storeControls();

    AppContext& context_;
    std::unique_ptr<Ui::WeatherConfigDialog> ui_;
    std::unique_ptr<FormBinding<WeatherForm>> binding_;
    WeatherForm form_;
};

}  // namespace varnel
