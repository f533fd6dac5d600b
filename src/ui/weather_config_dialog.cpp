#include "ui/weather_config_dialog.h"

#include <QFile>
#include <QIcon>
#include <QPushButton>
#include <QSlider>

#include "config/weather_record.h"
#include "session/config_file.h"
#include "session/session.h"
#include "ui/connect_dialog.h"
#include "ui/diagnostics_dialog.h"
#include "ui/file_chooser.h"
#include "ui/firmware_sequences.h"
#include "ui_weather_config_dialog.h"

namespace varnel {

namespace id = weather_id;

namespace {

constexpr const char* kConfigFilter = "Configuration Files (*.cfg)";

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

CWeatherConfigDialog::CWeatherConfigDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::WeatherConfigDialog>()) {
    ui_->setupUi(this);
    setWindowTitle(QString::fromStdString(settingsDialogTitle(windowTitle().toStdString(), context_.session)));
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<FormBinding<WeatherForm>>(*this, kWeatherControls);
    for (const std::string& name : binding_->missing())
        qWarning("weather dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(form_);
    startWeatherForm(form_, context_.session);
    connectControls();
    showControls();
}

CWeatherConfigDialog::~CWeatherConfigDialog() = default;

void CWeatherConfigDialog::readControls() { binding_->fromWidgets(form_); }
void CWeatherConfigDialog::showControls() { binding_->toWidgets(form_); }

void CWeatherConfigDialog::connectControls() {
    if (auto* vane = qobject_cast<QSlider*>(binding_->widget(id::kWindVane)))
        connect(vane, &QSlider::valueChanged, this, [this] { onControlChanged(id::kWindVane); });

    auto onClick = [this](int controlId, auto handler) {
        if (auto* button = qobject_cast<QPushButton*>(binding_->widget(controlId)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(id::kLatHemisphere, [this] { onControlChanged(id::kLatHemisphere); });
    onClick(id::kLonHemisphere, [this] { onControlChanged(id::kLonHemisphere); });
    onClick(id::kWriteButton, [this] { onWrite(); });
    onClick(id::kExitButton, [this] { reject(); });
    onClick(id::kSaveButton, [this] { onSaveFile(); });
    onClick(id::kLoadButton, [this] { onLoadFile(); });
    onClick(id::kFirmwareFileButton, [this] { onFirmware(false); });
    onClick(id::kFirmwareNetworkButton, [this] { onFirmware(true); });
    onClick(id::kDiagnosticsButton, [this] { onDiagnostics(); });
}

void CWeatherConfigDialog::onDiagnostics() {
    readControls();
    // A weather station has no receive gain to adjust: only the transmit
    // audio level goes in and comes back, into the record however the
    // window was closed.
    const WeatherRecord r(context_.session.settings.profile(0));
    DiagnosticsSettings settings{r.audioLevel(), std::nullopt};
    runDiagnosticsDialog(context_, this, settings);
    r.setAudioLevel(settings.audioLevel);
    form_.audioLevel.position = settings.audioLevel;
    showControls();
}

void CWeatherConfigDialog::onControlChanged(int controlId) {
    readControls();
    weatherControlChanged(form_, controlId);
    showControls();
}

int CWeatherConfigDialog::storeControls() {
    readControls();
    return storeWeatherRecord(form_, context_.session, context_.ui);
}

void CWeatherConfigDialog::onWrite() {
    if (storeControls() != 0) return;
    if (context_.session.link.connected) {
        writeConfiguration(context_, this, ConfigFlavour::Weather);
        return;
    }
    // Offline: connect first; the dialog loop reads the station and shows
    // this dialog again.
    CConnectDialog dialog(context_, QString(), {}, this);
    if (dialog.exec() == QDialog::Accepted) done(kResultReconnect);
}

void CWeatherConfigDialog::onSaveFile() {
    // A refused value does not stop the save: the file holds what was
    // stored before it.
    storeControls();
    const QString path = context_.files.saveFile(this, kConfigFilter, "cfg");
    if (path.isEmpty()) return;
    saveConfigFile(localPath(path), context_.session, ConfigFlavour::Weather, context_.ui);
}

void CWeatherConfigDialog::onLoadFile() {
    const QString path = context_.files.openFile(this, kConfigFilter, "cfg");
    if (path.isEmpty()) return;
    loadConfigFile(localPath(path), context_.session, ConfigFlavour::Weather, context_.ui);
    showWeatherRecord(context_.session, form_);
    showControls();
}

void CWeatherConfigDialog::onFirmware(bool fromNetwork) {
    const CheckAndStore store = [this] { return storeControls(); };
    const int result = fromNetwork ? loadFirmwareFromNetwork(context_, this, ConfigFlavour::Weather, store)
                                   : loadFirmwareFromFile(context_, this, ConfigFlavour::Weather, store);
    if (result == kResultReconnect) done(kResultReconnect);
}

}  // namespace varnel
