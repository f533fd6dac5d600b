#include "ui/weather_config_dialog.h"

#include <QIcon>

#include "ui_weather_config_dialog.h"

namespace varnel {

CWeatherConfigDialog::CWeatherConfigDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::WeatherConfigDialog>()), window_(context, *this) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<FormBinding<WeatherForm>>(*this, kWeatherControls);
    for (const std::string& name : binding_->missing())
        qWarning("weather dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(window_.form());
    window_.start();
    binding_->forwardEvents(*this, window_);
}

CWeatherConfigDialog::~CWeatherConfigDialog() = default;

}  // namespace varnel
