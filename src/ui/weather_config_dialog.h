#pragma once

#include <memory>

#include <QDialog>

#include "shell/weather_window.h"
#include "ui/form_binding.h"

namespace Ui {
class WeatherConfigDialog;
}

namespace varnel {

// The weather-station window's widgets over WeatherWindow: the layout
// res/weather_config_dialog.ui bound to WeatherForm, its signals forwarded.
class CWeatherConfigDialog : public QDialog, public WeatherView {
    Q_OBJECT
public:
    explicit CWeatherConfigDialog(AppContext& context, QWidget* parent = nullptr);
    ~CWeatherConfigDialog() override;

    const WeatherForm& form() { return window_.form(); }

    void readControls() { readForm(window_.form()); }
    void showControls() { showForm(window_.form()); }

    // WeatherView
    void readForm(WeatherForm& form) override { binding_->fromWidgets(form); }
    void showForm(const WeatherForm& form) override { binding_->toWidgets(form); }
    void showTitle(const std::string& title) override { setWindowTitle(QString::fromStdString(title)); }
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void pause(int) override {}
    void end(int result) override { done(result); }
    // Exit, Escape and the window's close button all come here.
    void reject() override { window_.exitRequested(); }

private:
    std::unique_ptr<Ui::WeatherConfigDialog> ui_;
    std::unique_ptr<FormBinding<WeatherForm>> binding_;
    WeatherWindow window_;
};

}  // namespace varnel
