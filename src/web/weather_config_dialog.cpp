#include "web/weather_config_dialog.h"

namespace varnel::web {

namespace id = weather_id;

void CWeatherConfigDialog::onOpen() {
    binding_ = std::make_unique<FormBinding<WeatherForm>>(token(), kWeatherControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CWeatherConfigDialog::onClick(const std::string& name) {
    const ControlInfo<WeatherForm>* row = binding_->row(name);
    if (!row || binding_->updating()) return;
    switch (row->id) {
    case id::kExitButton: return window_.exitRequested();
    case id::kWriteButton: return window_.writePressed();
    case id::kSaveButton: return window_.saveFilePressed();
    case id::kLoadButton: return window_.loadFilePressed();
    case id::kBackupsButton: return window_.backupsPressed();
    case id::kFirmwareFileButton: return window_.firmwarePressed(false);
    case id::kFirmwareNetworkButton: return window_.firmwarePressed(true);
    case id::kDiagnosticsButton: return window_.diagnosticsPressed();
    case id::kLatHemisphere:
    case id::kLonHemisphere: return window_.controlChanged(row->id);
    default: return;
    }
}

// The vane's label follows the slider when it is let go.
void CWeatherConfigDialog::onChange(const std::string& name) {
    const ControlInfo<WeatherForm>* row = binding_->row(name);
    if (row && !binding_->updating() && row->id == id::kWindVane) window_.controlChanged(id::kWindVane);
}

}  // namespace varnel::web
