#include "ui/connect_dialog.h"

#include <QRadioButton>

#include "ui/accessibility.h"
#include "ui_connect_dialog.h"

namespace varnel {

CConnectDialog::CConnectDialog(AppContext& context, const QString& extraPath, PortQuery query, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ConnectDialog>()),
      window_(context, *this, extraPath.toStdString(), std::move(query)),
      timers_(*this, [this](int id) { window_.timerTicked(id); }) {
    ui_->setupUi(this);
    connect(ui_->connectButton, &QPushButton::clicked, this, &CConnectDialog::onConnect);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CConnectDialog::onCancel);
    connect(ui_->offlineButton, &QPushButton::clicked, this, &CConnectDialog::onOffline);
    connect(ui_->addPortButton, &QPushButton::clicked, this, &CConnectDialog::onAddPort);
    connect(ui_->helpButton, &QPushButton::clicked, this, &CConnectDialog::onHelp);
    connect(ui_->portPathEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { window_.pathTyped(text.toStdString()); });
    window_.start();
}

CConnectDialog::~CConnectDialog() = default;

void CConnectDialog::showSlots(const std::vector<PortSlot>& ports) {
    auto* grid = qobject_cast<QGridLayout*>(ui_->portGroup->layout());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        auto* b = new QRadioButton(QString::fromStdString(ports[i].label), ui_->portGroup);
        b->setObjectName(QStringLiteral("portSlot%1").arg(i + 1));
        b->setToolTip(QString::fromStdString(ports[i].tooltip));
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) window_.slotChosen();
        });
        grid->addWidget(b, static_cast<int>(i / 2), static_cast<int>(i % 2));
        buttons_.push_back(b);
    }
    // Made after the layout's widgets, the slots would come last in the tab
    // order; they belong first, where their box is.
    if (buttons_.empty()) return;
    std::vector<QWidget*> order(buttons_.begin(), buttons_.end());
    order.insert(order.end(), {ui_->portPathEdit, ui_->slowLinkBox, ui_->reloadFirmwareBox, ui_->offlineButton,
                               ui_->addPortButton, ui_->helpButton, ui_->connectButton, ui_->cancelButton});
    for (std::size_t k = 1; k < order.size(); ++k) setTabOrder(order[k - 1], order[k]);
}

void CConnectDialog::showChoice(int slot, const std::string& typedPath, bool slowLink) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        QRadioButton* b = buttons_[i];
        b->setAutoExclusive(false);
        b->setChecked(static_cast<int>(i) + 1 == slot);
        b->setAutoExclusive(true);
    }
    // Set again, the text would lose the cursor's place.
    const QString typed = QString::fromStdString(typedPath);
    if (ui_->portPathEdit->text() != typed) ui_->portPathEdit->setText(typed);
    ui_->slowLinkBox->setChecked(slowLink);
}

int CConnectDialog::chosenSlot() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return static_cast<int>(i) + 1;
    return 0;
}

ConnectChoice CConnectDialog::choice() const {
    return {chosenSlot(), ui_->portPathEdit->text().toStdString(), ui_->slowLinkBox->isChecked(),
            ui_->reloadFirmwareBox->isChecked()};
}

QString CConnectDialog::statusText() const { return ui_->statusLabel->text(); }
bool CConnectDialog::connectEnabled() const { return ui_->connectButton->isEnabled(); }
void CConnectDialog::setStatus(const std::string& text) {
    ui_->statusLabel->setText(QString::fromStdString(text));
    announceChange(*ui_->statusLabel);
    // A longer status (the hint after a silent wait) needs more lines.
    if (isVisible()) adjustSize();
}
void CConnectDialog::showControls(const ConnectControls& controls) {
    ui_->connectButton->setEnabled(controls.connectEnabled);
    ui_->offlineButton->setEnabled(controls.offlineEnabled);
    ui_->addPortButton->setVisible(controls.addPortShown);
    ui_->helpButton->setEnabled(controls.helpEnabled);
    ui_->portPathLabel->setVisible(controls.typedPathShown);
    ui_->portPathEdit->setVisible(controls.typedPathShown);
}

}  // namespace varnel
