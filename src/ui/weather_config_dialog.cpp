#include "ui/weather_config_dialog.h"

#include <QIcon>
#include <QPushButton>
#include <QSlider>

#include "ui_weather_config_dialog.h"

namespace varnel {

namespace id = weather_id;

CWeatherConfigDialog::CWeatherConfigDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::WeatherConfigDialog>()), window_(context, *this) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<FormBinding<WeatherForm>>(*this, kWeatherControls);
    for (const std::string& name : binding_->missing())
        qWarning("weather dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(window_.form());
    window_.start();
    connectControls();
}

CWeatherConfigDialog::~CWeatherConfigDialog() = default;

void CWeatherConfigDialog::connectControls() {
    if (auto* vane = qobject_cast<QSlider*>(binding_->widget(id::kWindVane)))
        connect(vane, &QSlider::valueChanged, this, [this] { window_.controlChanged(id::kWindVane); });

    auto onClick = [this](int controlId, auto handler) {
        if (auto* button = qobject_cast<QPushButton*>(binding_->widget(controlId)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(id::kLatHemisphere, [this] { window_.controlChanged(id::kLatHemisphere); });
    onClick(id::kLonHemisphere, [this] { window_.controlChanged(id::kLonHemisphere); });
    onClick(id::kWriteButton, [this] { window_.writePressed(); });
    onClick(id::kExitButton, [this] { window_.exitRequested(); });
    onClick(id::kSaveButton, [this] { window_.saveFilePressed(); });
    onClick(id::kLoadButton, [this] { window_.loadFilePressed(); });
    onClick(id::kBackupsButton, [this] { window_.backupsPressed(); });
    onClick(id::kFirmwareFileButton, [this] { window_.firmwarePressed(false); });
    onClick(id::kFirmwareNetworkButton, [this] { window_.firmwarePressed(true); });
    onClick(id::kDiagnosticsButton, [this] { window_.diagnosticsPressed(); });
}

}  // namespace varnel
