#include "ui/tracker_config_dialog.h"

#include <cstdio>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "config/profile_record.h"
#include "config/settings_packing.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"
#include "forms/tracker/tracker_messages.h"
#include "session/config_file.h"
#include "session/session.h"
#include "ui/about_box.h"
#include "ui/app_settings.h"
#include "ui/connect_dialog.h"
#include "ui/diagnostics_dialog.h"
#include "ui/file_chooser.h"
#include "ui/firmware_sequences.h"
#include "ui/satellite_dialogs.h"
#include "ui/script_editor_dialog.h"
#include "ui/tracker_form_binding.h"
#include "ui/write_progress_dialog.h"
#include "ui_tracker_config_dialog.h"

namespace varnel {

namespace id = tracker_id;
namespace msg = tracker_message;

namespace {

constexpr const char* kConfigFilter = "Configuration Files (*.cfg)";
constexpr const char* kAboutEntry = "&About varnelcfg...";

// The key echo shows the key as the tracker tools always have: the key code,
// then the key data laid out as on Windows (repeat count in bits 0-15, scan
// code in 16-23, Alt held in bit 29, key already down in bit 30).
std::string keyEchoText(const QKeyEvent& e) {
    const unsigned code = e.nativeVirtualKey() != 0 ? e.nativeVirtualKey() : static_cast<unsigned>(e.key());
    unsigned data = 1u | ((e.nativeScanCode() & 0xFFu) << 16);
    if (e.modifiers() & Qt::AltModifier) data |= 1u << 29;
    if (e.isAutoRepeat()) data |= 1u << 30;
    char text[32];
    std::snprintf(text, sizeof text, msg::kKeyEchoFormat, code, data);
    return text;
}

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

CTrackerConfigDialog::CTrackerConfigDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::TrackerConfigDialog>()) {
    ui_->setupUi(this);
    setWindowTitle(QString::fromStdString(settingsDialogTitle(windowTitle().toStdString(), context_.session)));
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<TrackerFormBinding>(*this);
    for (const std::string& name : binding_->missing())
        qWarning("tracker dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(form_);

    // The units are the ones the user chose last time, whatever the session
    // started with.
    context_.session.metric = app_settings::metric();
    startTrackerForm(form_, context_.session);

    buildWindowMenu();
    connectControls();
    showControls();
}

CTrackerConfigDialog::~CTrackerConfigDialog() = default;

void CTrackerConfigDialog::readControls() { binding_->fromWidgets(form_); }
void CTrackerConfigDialog::showControls() { binding_->toWidgets(form_); }

void CTrackerConfigDialog::buildWindowMenu() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    windowMenu_ = bar->addMenu(QStringLiteral("&Tracker"));
    windowMenu_->addAction(QString::fromUtf8(kAboutEntry), this, [this] { showAboutBox(this); });
    if (form_.exportEntry)
        windowMenu_->addAction(QString::fromUtf8(msg::kExportEntry), this,
                               [this] { exportFirmware(context_, this); });
}

void CTrackerConfigDialog::connectControls() {
    for (const TrackerControlInfo& info : kTrackerControls) {
        QWidget* w = binding_->widget(info.id);
        if (!w) continue;
        const int controlId = info.id;
        switch (info.type) {
        case ControlType::Edit:
            connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this,
                    [this, controlId] { onControlChanged(controlId); });
            break;
        case ControlType::Check:
            connect(static_cast<QCheckBox*>(w), &QCheckBox::toggled, this,
                    [this, controlId] { onControlChanged(controlId); });
            break;
        case ControlType::Radio:
            connect(static_cast<QRadioButton*>(w), &QRadioButton::toggled, this, [this, controlId](bool on) {
                if (!on) return;  // its partner reports the change
                if (controlId == id::kMetricRadio || controlId == id::kImperialRadio)
                    onUnitsChosen(controlId == id::kMetricRadio);
                else
                    onControlChanged(controlId);
            });
            break;
        case ControlType::List:
            connect(static_cast<QComboBox*>(w), &QComboBox::activated, this,
                    [this, controlId] { onControlChanged(controlId); });
            break;
        case ControlType::Tab:
            connect(static_cast<QTabBar*>(w), &QTabBar::currentChanged, this, [this](int tab) { onTabChanged(tab); });
            break;
        default:
            break;
        }
    }

    auto onClick = [this](int controlId, auto handler) {
        if (auto* button = qobject_cast<QPushButton*>(binding_->widget(controlId)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(id::kLatHemisphere, [this] { onControlChanged(id::kLatHemisphere); });
    onClick(id::kLonHemisphere, [this] { onControlChanged(id::kLonHemisphere); });
    onClick(id::kWriteButton, [this] { onWrite(); });
    onClick(id::kExitButton, [this] { reject(); });
    onClick(id::kCopyButton, [this] { onCopyOtherProfile(); });
    onClick(id::kSaveButton, [this] { onSaveFile(); });
    onClick(id::kLoadButton, [this] { onLoadFile(); });
    onClick(id::kFirmwareFileButton, [this] { onFirmwareFromFile(); });
    onClick(id::kFirmwareNetworkButton, [this] { onFirmwareFromNetwork(); });
    onClick(id::kScriptButton, [this] { CScriptEditorDialog(context_, this).exec(); });
    onClick(id::kDiagnosticsButton, [this] { onDiagnostics(); });
    // The windows of settings that do not fit this page edit the records in
    // place; the form's rules decide which of their buttons a tracker shows.
    onClick(id::kSmartBeaconingButton, [this] { onSmartBeaconing(); });
    onClick(id::kFreqButton, [this] { CFrequencyDialog(context_, this).exec(); });
    onClick(id::kMoreTextsButton, [this] { CStatusTextDialog(context_, this).exec(); });
    onClick(id::kAccessListButton, [this] { CAccessListDialog(context_, this).exec(); });
    onClick(id::kDigipeaterButton, [this] { CDigipeaterDialog(context_, this).exec(); });
    onClick(id::kProfileSwitchButton, [this] { CProfileSwitchDialog(context_, this).exec(); });
}

void CTrackerConfigDialog::onSmartBeaconing() {
    CSmartBeaconDialog(context_, this).exec();
    // OK or Cancel, the window may have stored the transmit interval (it is
    // the high-speed rate); the page shows what the record now holds.
    readControls();
    form_.beaconInterval.text =
        formatInt(ConstProfileRecord(context_.session.profile(), context_.session.target.kind).beaconInterval());
    showControls();
}

void CTrackerConfigDialog::onControlChanged(int controlId) {
    readControls();
    trackerControlChanged(form_, controlId);
    showControls();
}

void CTrackerConfigDialog::onTabChanged(int tab) {
    if (tab == form_.tabs.position) return;
    readControls();
    // A refused change leaves the form on its old tab; showing it moves the
    // tab bar back.
    changeTrackerTab(form_, context_.session, context_.ui, tab);
    showControls();
}

void CTrackerConfigDialog::onUnitsChosen(bool metric) {
    readControls();
    changeTrackerUnits(form_, context_.session, context_.ui, metric);
    // The choice is remembered even when a value on the page kept the
    // display in the old units.
    app_settings::setMetric(metric);
    showControls();
}

int CTrackerConfigDialog::checkAndStoreControls() {
    readControls();
    return checkAndStore(form_, context_.session, context_.ui);
}

void CTrackerConfigDialog::onWrite() {
    if (checkAndStoreControls() != 0) return;
    Session& s = context_.session;
    if (s.link.connected) {
        writeConfiguration(context_, this, ConfigFlavour::Tracker);
        return;
    }
    // Offline: connect first; the dialog loop reads the chosen tracker's
    // kind and shows this dialog again with the edited settings.
    CConnectDialog dialog(context_, QString(), {}, this);
    if (dialog.exec() == QDialog::Accepted) done(kResultReconnect);
}

void CTrackerConfigDialog::onCopyOtherProfile() {
    copyOtherProfile(form_, context_.session);
    showControls();
}

void CTrackerConfigDialog::onSaveFile() {
    // What passes the checks is stored; a refused value does not stop the
    // save, the file simply holds what was stored before it.
    checkAndStoreControls();
    const QString path = context_.files.saveFile(this, kConfigFilter, "cfg");
    if (path.isEmpty()) return;
    saveConfigFile(localPath(path), context_.session, ConfigFlavour::Tracker, context_.ui);
}

void CTrackerConfigDialog::onLoadFile() {
    const QString path = context_.files.openFile(this, kConfigFilter, "cfg");
    if (path.isEmpty()) return;
    loadConfigFile(localPath(path), context_.session, ConfigFlavour::Tracker, context_.ui);
    showProfile(context_.session, form_);
    showControls();
}

void CTrackerConfigDialog::onFirmwareFromFile() {
    const int result = loadFirmwareFromFile(context_, this, ConfigFlavour::Tracker,
                                            [this] { return checkAndStoreControls(); });
    if (result == kResultReconnect) done(kResultReconnect);
}

void CTrackerConfigDialog::onFirmwareFromNetwork() {
    const int result = loadFirmwareFromNetwork(context_, this, ConfigFlavour::Tracker,
                                               [this] { return checkAndStoreControls(); });
    if (result == kResultReconnect) done(kResultReconnect);
}

void CTrackerConfigDialog::onDiagnostics() {
    readControls();
    ProfileRecord p(context_.session.profile(), context_.session.target.kind);
    DiagnosticsSettings settings = trackerDiagnosticsSettings({p.data(), p.kind()});
    runDiagnosticsDialog(context_, this, settings);
    storeTrackerDiagnosticsSettings(p, settings);
    form_.audioLevel.position = settings.audioLevel;
    showControls();
}

void CTrackerConfigDialog::keyPressEvent(QKeyEvent* event) {
    // Only keys that reach the window itself, not those typed into a control.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == this) context_.ui.message(keyEchoText(*event));
    QDialog::keyPressEvent(event);
}

}  // namespace varnel
