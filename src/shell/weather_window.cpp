#include "shell/weather_window.h"

#include "config/weather_record.h"
#include "forms/diagnostics/diagnostics_form.h"
#include "forms/weather/weather_messages.h"
#include "session/config_file.h"
#include "session/session.h"
#include "shell/config_commands.h"
#include "shell/firmware_sequences.h"

namespace varnel {

void WeatherWindow::start() {
    startWeatherForm(form_, context_.session);
    view_.showTitle(settingsDialogTitle(weather_message::kWindowTitle, context_.session));
    view_.showForm(form_);
}

int WeatherWindow::storeControls() {
    view_.readForm(form_);
    return storeWeatherRecord(form_, context_.session, context_.ui);
}

void WeatherWindow::clicked(int controlId) {
    namespace id = weather_id;
    switch (controlId) {
    case id::kWriteButton: return writePressed();
    case id::kExitButton: return exitRequested();
    case id::kSaveButton: return saveFilePressed();
    case id::kLoadButton: return loadFilePressed();
    case id::kBackupsButton: return backupsPressed();
    case id::kFirmwareFileButton: return firmwarePressed(false);
    case id::kFirmwareNetworkButton: return firmwarePressed(true);
    case id::kDiagnosticsButton: return diagnosticsPressed();
    case id::kLatHemisphere:
    case id::kLonHemisphere: return controlChanged(controlId);
    default: return;
    }
}

void WeatherWindow::edited(int controlId) {
    if (controlId == weather_id::kWindVane) controlChanged(controlId);
}

void WeatherWindow::controlChanged(int controlId) {
    view_.readForm(form_);
    weatherControlChanged(form_, controlId);
    view_.showForm(form_);
}

void WeatherWindow::writePressed() {
    if (storeControls() != 0) return;
    if (writeOrConnect(context_, ConfigFlavour::Weather) == kResultReconnect) view_.end(kResultReconnect);
}

void WeatherWindow::exitRequested() {
    view_.readForm(form_);
    const int result = leaveConfigWindow(context_, ConfigFlavour::Weather, [this](UserInterface& ui) {
        return storeWeatherRecord(form_, context_.session, ui);
    });
    if (result != kStayOpen) view_.end(result);
}

void WeatherWindow::saveFilePressed() {
    storeControls();
    saveConfigCommand(context_, ConfigFlavour::Weather);
}

void WeatherWindow::loadFilePressed() {
    if (!loadConfigCommand(context_, ConfigFlavour::Weather)) return;
    showWeatherRecord(context_.session, form_);
    view_.showForm(form_);
}

void WeatherWindow::backupsPressed() {
    if (!backupsCommand(context_)) return;
    showWeatherRecord(context_.session, form_);
    view_.showForm(form_);
}

void WeatherWindow::firmwarePressed(bool fromNetwork) {
    const CheckAndStore store = [this] { return storeControls(); };
    const int result = fromNetwork ? loadFirmwareFromNetwork(context_, ConfigFlavour::Weather, store)
                                   : loadFirmwareFromFile(context_, ConfigFlavour::Weather, store);
    if (result == kResultReconnect) view_.end(kResultReconnect);
}

void WeatherWindow::diagnosticsPressed() {
    view_.readForm(form_);
    // A weather station has no receive gain to adjust: only the transmit
    // audio level goes in and comes back, into the record however the
    // window was closed.
    const WeatherRecord r(context_.session.settings.profile(0));
    DiagnosticsSettings settings{r.audioLevel(), std::nullopt};
    context_.windows.runDiagnostics(context_, settings);
    r.setAudioLevel(settings.audioLevel);
    form_.audioLevel.position = settings.audioLevel;
    view_.showForm(form_);
}

}  // namespace varnel
