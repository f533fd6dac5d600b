#include "ui/tracker_summary_dialog.h"

#include "config/ax25_codec.h"
#include "config/settings_packing.h"
#include "core/session.h"
#include "ui/about_box.h"
#include "ui/connect_dialog.h"
#include "ui/firmware_sequences.h"
#include "ui/write_progress_dialog.h"
#include "ui_tracker_summary_dialog.h"

namespace varnel {

namespace {
// Where the station callsign sits in a profile: an AX.25 address field.
constexpr std::size_t kProfileSourceAddress = 5;
}  // namespace

CTrackerSummaryDialog::CTrackerSummaryDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::TrackerSummaryDialog>()) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    auto finish = [this](int result) {
        if (result == kResultReconnect) done(kResultReconnect);
    };
    auto keepConfiguration = [] { return 0; };  // nothing here is editable
    connect(ui_->writeButton, &QPushButton::clicked, this, [this] { writeSettings(); });
    connect(ui_->fileFirmwareButton, &QPushButton::clicked, this, [=, this] {
        finish(loadFirmwareFromFile(context_, this, ConfigFlavour::Tracker, keepConfiguration));
    });
    connect(ui_->networkFirmwareButton, &QPushButton::clicked, this, [=, this] {
        finish(loadFirmwareFromNetwork(context_, this, ConfigFlavour::Tracker, keepConfiguration));
    });
    connect(ui_->exportButton, &QPushButton::clicked, this, [this] { exportFirmware(context_, this); });
    connect(ui_->aboutButton, &QPushButton::clicked, this, [this] { showAboutBox(this); });
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

CTrackerSummaryDialog::~CTrackerSummaryDialog() = default;

void CTrackerSummaryDialog::refresh() {
    const Session& s = context_.session;
    ui_->deviceIdValue->setText(QString::fromStdString(s.link.deviceInfo.deviceId));
    ui_->firmwareValue->setText(QString::asprintf("family %d, type %d, build %d",
                                                  s.settings.family(), s.settings.type(),
                                                  s.settings.build()));
    ui_->linkValue->setText(s.link.connected ? QStringLiteral("connected through the bootloader")
                                             : QStringLiteral("offline (configuration file)"));
    ui_->callsign1Value->setText(callsignText(0));
    ui_->callsign2Value->setText(callsignText(1));
    ui_->exportButton->setEnabled(s.link.connected);
    ui_->fileFirmwareButton->setEnabled(s.link.connected);
    ui_->networkFirmwareButton->setEnabled(s.link.connected);
}

QString CTrackerSummaryDialog::deviceText() const { return ui_->deviceIdValue->text(); }
QString CTrackerSummaryDialog::firmwareText() const { return ui_->firmwareValue->text(); }
QString CTrackerSummaryDialog::callsignText(int profile) const {
    return QString::fromStdString(
        decodeAddress(context_.session.settings.profile(profile) + kProfileSourceAddress));
}

void CTrackerSummaryDialog::writeSettings() {
    Session& s = context_.session;
    if (!s.link.connected) {
        // Offline: connect first; the loop then writes on its next pass.
        CConnectDialog dialog(context_, QString(), {}, this);
        if (dialog.exec() == QDialog::Accepted) done(kResultReconnect);
        return;
    }
    s.image.reset();
    packSettings(s.image, s.target, {s.settings, s.radio, s.script});
    writeWithBackup(context_, this);
}

}  // namespace varnel
