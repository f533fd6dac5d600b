#include "ui/connect_dialog.h"

#include <algorithm>

#include <QEventLoop>
#include <QRadioButton>
#include <QTimer>

#include "config/device_target.h"
#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/boot_protocol.h"
#include "link/port_open_reason.h"
#include "link/serial_messages.h"
#include "session/config_file.h"
#include "session/session.h"
#include "ui/app_settings.h"
#include "ui/file_chooser.h"
#include "ui/firmware_init_dialog.h"
#include "ui_connect_dialog.h"

namespace varnel {

namespace {

constexpr const char* kReadyText = "Ready to connect.  Please reset tracker now.";
constexpr int kPortWatchMs = 500;
// A port that has just appeared belongs to a device still starting up.
constexpr int kAppearSettleMs = 300;

void pumpFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

CConnectDialog::CConnectDialog(AppContext& context, const QString& extraPath, PortQuery query,
                               QWidget* parent)
    : QDialog(parent),
      context_(context),
      ui_(std::make_unique<Ui::ConnectDialog>()),
      extraPath_(extraPath),
      query_(std::move(query)) {
    ui_->setupUi(this);
    if (!query_) query_ = [path = extraPath_] { return detectPortSlots(path); };
#ifdef Q_OS_WIN
    ui_->portPathLabel->hide();
    ui_->portPathEdit->hide();
#endif
    fillSlots();

    // The port last connected: by its device path if it is still there (the
    // slot numbers of USB adapters move), else by its slot number. A port
    // named on the command line wins.
    int slot = app_settings::port();
    const QString saved = app_settings::portName();
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (!saved.isEmpty() && slots_[i].path == saved) slot = static_cast<int>(i) + 1;
    if (!extraPath_.isEmpty()) slot = 1;
    if (slot >= 1 && slot <= static_cast<int>(buttons_.size())) buttons_[slot - 1]->setChecked(true);
    ui_->slowLinkBox->setChecked(!app_settings::turbo());
    context_.session.link.linkAbort = LinkState::kAbortIdle;

    connect(ui_->connectButton, &QPushButton::clicked, this, &CConnectDialog::onConnect);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CConnectDialog::onCancel);
    connect(ui_->offlineButton, &QPushButton::clicked, this, &CConnectDialog::onOffline);
    connect(ui_->portPathEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.isEmpty()) return;
        for (QRadioButton* b : buttons_) {
            b->setAutoExclusive(false);
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    });

    for (const PortSlot& s : query_()) present_.insert(s.path);
    watch_ = new QTimer(this);
    connect(watch_, &QTimer::timeout, this, &CConnectDialog::onPortWatchTick);
    watch_->start(kPortWatchMs);
}

CConnectDialog::~CConnectDialog() = default;

void CConnectDialog::fillSlots() {
    slots_ = query_();
    auto* grid = qobject_cast<QGridLayout*>(ui_->portGroup->layout());
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        auto* b = new QRadioButton(slots_[i].label, ui_->portGroup);
        b->setObjectName(QStringLiteral("portSlot%1").arg(i + 1));
        b->setToolTip(slots_[i].tooltip);
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ui_->portPathEdit->clear();
        });
        grid->addWidget(b, static_cast<int>(i / 2), static_cast<int>(i % 2));
        buttons_.push_back(b);
    }
    if (slots_.empty()) {
        ui_->statusLabel->setText(
            "No serial device was found. Plug the tracker's cable in, or type the device path.");
    }
}

int CConnectDialog::chosenSlot() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return static_cast<int>(i) + 1;
    return 0;
}

QString CConnectDialog::chosenPath() const {
    const QString typed = ui_->portPathEdit->text().trimmed();
    if (!typed.isEmpty()) return typed;
    const int slot = chosenSlot();
    return slot > 0 ? slots_[slot - 1].path : QString();
}

QString CConnectDialog::statusText() const { return ui_->statusLabel->text(); }
bool CConnectDialog::connectEnabled() const { return ui_->connectButton->isEnabled(); }
void CConnectDialog::setPortWatchInterval(int ms) { watch_->start(ms); }

void CConnectDialog::onConnect() {
    // One attempt at a time: an attempt pumps events while it waits, and a
    // click then must not start a second one on the port it holds.
    if (busy()) return;
    Session& s = context_.session;
    const int slot = chosenSlot();
    const QString path = chosenPath();
    // With nothing chosen the slot's own name goes to the port layer, which
    // says it cannot open it.
    const std::string portName = path.isEmpty() ? "COM" + std::to_string(std::max(slot, 1))
                                                : path.toStdString();
    s.link.linkAbort = LinkState::kAbortRunning;
    ui_->statusLabel->setText(kReadyText);
    ui_->connectButton->setEnabled(false);
    attempting_ = true;

    PortReasonUi ui(context_.ui, portName);
    BootLink link(*s.port, s.link, s.target, s.image, ui);
    const bool fast = !ui_->slowLinkBox->isChecked();
    const int result = link.connect(portName, fast);
    attempting_ = false;

    if (s.link.linkAbort != LinkState::kAbortRunning) {
        // Cancelled (or the program was told to quit) during the attempt.
        s.port->closePort();
        ui_->connectButton->setEnabled(true);
        s.link.linkAbort = LinkState::kAbortIdle;
        if (closing_) QDialog::reject();
        return;
    }
    s.link.linkAbort = LinkState::kAbortIdle;
    if (result == -1 || result == -2) {
        s.port->closePort();
        ui_->connectButton->setEnabled(true);
        return;
    }
    if (result == -3) {
        context_.ui.message(link.connectFailureMessage(result));
        s.port->closePort();
        ui_->connectButton->setEnabled(true);
        return;
    }
    if (result == -4) {
        context_.ui.message(link.connectFailureMessage(result));
        s.port->closePort();
        QDialog::reject();
        return;
    }
    // A typed path has no slot: the slot last chosen stays as it was.
    if (slot > 0) app_settings::setPort(slot);
    app_settings::setPortName(path);
    app_settings::setTurbo(fast);
    finishConnected();
}

void CConnectDialog::finishConnected() {
    watch_->stop();
    if (ui_->reloadFirmwareBox->isChecked()) {
        // The firmware dialog writes by the chip's memory map: take the target
        // of the tracker just connected, not whatever was held before.
        selectTarget(context_.session.target, context_.session.link.chipName);
        CFirmwareInitDialog dialog(context_, this);
        dialog.exec();
    }
    accept();
}

void CConnectDialog::onCancel() {
    LinkState& link = context_.session.link;
    if (link.linkAbort != LinkState::kAbortRunning) {
        link.linkAbort = LinkState::kAbortRequested;
        QDialog::reject();
        return;
    }
    // First press during an attempt: stop it and stay.
    link.linkAbort = LinkState::kAbortRequested;
}

void CConnectDialog::reject() {
    // Escape or the window's close button: during an attempt, stop it and
    // close once it has unwound; otherwise close now.
    if (context_.session.link.linkAbort == LinkState::kAbortRunning) {
        closing_ = true;
        context_.session.link.linkAbort = LinkState::kAbortRequested;
        return;
    }
    onCancel();
}

void CConnectDialog::onOffline() {
    if (busy()) return;  // the attempt may still connect; a file would race it
    const QString path = context_.files.openFile(this, "Configuration Files (*.cfg)", "cfg");
    if (path.isEmpty()) return;
    if (loadConfigFileOffline(path.toStdString(), context_.session, context_.ui) != 0) return;
    watch_->stop();
    accept();
}

void CConnectDialog::onPortWatchTick() {
    if (busy()) return;
    watching_ = true;
    std::vector<PortSlot> fresh = query_();
    if (static_cast<int>(fresh.size()) > kWatchedPortSlots) fresh.resize(kWatchedPortSlots);
    std::set<QString> freshPaths;
    for (const PortSlot& s : fresh) freshPaths.insert(s.path);
    for (const PortSlot& s : fresh) {
        if (present_.count(s.path)) continue;
        present_.insert(s.path);
        if (tryAppearedPort(s.path)) {
            watching_ = false;
            finishConnected();
            return;
        }
        if (closing_) break;
    }
    present_ = freshPaths;
    watching_ = false;
    if (closing_) QDialog::reject();
}

bool CConnectDialog::tryAppearedPort(const QString& path) {
    Session& s = context_.session;
    s.link.linkAbort = LinkState::kAbortRunning;
    attempting_ = true;
    // The buttons wait for this attempt; busy() turns away what gets through.
    const bool connectWasEnabled = ui_->connectButton->isEnabled();
    ui_->connectButton->setEnabled(false);
    ui_->offlineButton->setEnabled(false);
    pumpFor(kAppearSettleMs);
    bool connected = false;
    PortReasonUi ui(context_.ui, path.toStdString());
    BootLink link(*s.port, s.link, s.target, s.image, ui);
    if (s.link.linkAbort == LinkState::kAbortRunning &&
        s.port->openPort(path.toStdString(), "115200", ui) >= 0) {
        // A tracker running its firmware at 115200 hears the KISS reset and
        // the comment form; the bootloader then announces itself.
        s.port->writeBytes(boot_protocol::kResetKiss.data(), boot_protocol::kResetKiss.size());
        s.port->writeBytes(boot_protocol::kResetComment.data(), boot_protocol::kResetComment.size());
        s.port->flushPort(0);
        if (link.waitForAnnounce() == 1) {
            s.link.linkAbort = LinkState::kAbortRequested;
            std::uint8_t ack = 0;
            if (s.port->readBytes(&ack, 1) >= 0) {
                s.port->flushPort(0);
                if (link.identify() == 0) {
                    splitDeviceId(s.link.deviceInfo.deviceId, s.link.chipName, s.link.targetSuffix);
                    s.link.connected = true;
                    connected = true;
                }
            }
        }
        if (!connected) s.port->closePort();
    }
    attempting_ = false;
    ui_->connectButton->setEnabled(connectWasEnabled);
    ui_->offlineButton->setEnabled(true);
    // Back to idle, so that the next Cancel closes the dialog (a Cancel during
    // this attempt only stopped it).
    s.link.linkAbort = LinkState::kAbortIdle;
    return connected;
}

}  // namespace varnel
