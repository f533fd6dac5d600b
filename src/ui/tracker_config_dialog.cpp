#include "ui/tracker_config_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>

#include "forms/tracker/tracker_messages.h"
#include "ui/tracker_form_binding.h"
#include "ui_tracker_config_dialog.h"

namespace varnel {

namespace id = tracker_id;

namespace {
constexpr const char* kAboutEntry = "&About varnelcfg...";
}

CTrackerConfigDialog::CTrackerConfigDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::TrackerConfigDialog>()), window_(context, *this) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<TrackerFormBinding>(*this);
    for (const std::string& name : binding_->missing())
        qWarning("tracker dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(window_.form());
    window_.start();
    buildWindowMenu();
    connectControls();
}

CTrackerConfigDialog::~CTrackerConfigDialog() = default;

void CTrackerConfigDialog::readForm(TrackerForm& form) { binding_->fromWidgets(form); }
void CTrackerConfigDialog::showForm(const TrackerForm& form) { binding_->toWidgets(form); }

void CTrackerConfigDialog::buildWindowMenu() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    windowMenu_ = bar->addMenu(QStringLiteral("&Tracker"));
    windowMenu_->addAction(QString::fromUtf8(kAboutEntry), this,
                           [this] { context_.windows.run(WindowKind::About, context_); });
    if (window_.form().exportEntry)
        windowMenu_->addAction(QString::fromUtf8(tracker_message::kExportEntry), this,
                               [this] { window_.exportPressed(); });
}

void CTrackerConfigDialog::connectControls() {
    for (const TrackerControlInfo& info : kTrackerControls) {
        QWidget* w = binding_->widget(info.id);
        if (!w) continue;
        const int controlId = info.id;
        switch (info.type) {
        case ControlType::Edit:
            connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this,
                    [this, controlId] { window_.controlChanged(controlId); });
            break;
        case ControlType::Check:
            connect(static_cast<QCheckBox*>(w), &QCheckBox::toggled, this,
                    [this, controlId] { window_.controlChanged(controlId); });
            break;
        case ControlType::Radio:
            connect(static_cast<QRadioButton*>(w), &QRadioButton::toggled, this, [this, controlId](bool on) {
                if (!on) return;  // its partner reports the change
                if (controlId == id::kMetricRadio || controlId == id::kImperialRadio)
                    window_.unitsChosen(controlId == id::kMetricRadio);
                else
                    window_.controlChanged(controlId);
            });
            break;
        case ControlType::List:
            connect(static_cast<QComboBox*>(w), &QComboBox::activated, this,
                    [this, controlId] { window_.controlChanged(controlId); });
            break;
        case ControlType::Tab: {
            auto* tabs = static_cast<QTabBar*>(w);
            connect(tabs, &QTabBar::currentChanged, this, [this](int tab) { window_.tabChanged(tab); });
            // Ctrl+Tab and Ctrl+Shift+Tab turn the profile tabs from any
            // control, as in property pages.
            for (const auto& [keys, step] : {std::pair{QKeySequence::NextChild, 1}, {QKeySequence::PreviousChild, -1}})
                connect(new QShortcut(keys, this), &QShortcut::activated, tabs, [tabs, step = step] {
                    if (tabs->isEnabled() && tabs->count() > 1)
                        tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
                });
            break;
        }
        default:
            break;
        }
    }

    auto onClick = [this](int controlId, auto handler) {
        if (auto* button = qobject_cast<QPushButton*>(binding_->widget(controlId)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(id::kLatHemisphere, [this] { window_.controlChanged(id::kLatHemisphere); });
    onClick(id::kLonHemisphere, [this] { window_.controlChanged(id::kLonHemisphere); });
    onClick(id::kWriteButton, [this] { window_.writePressed(); });
    onClick(id::kExitButton, [this] { window_.exitRequested(); });
    onClick(id::kCopyButton, [this] { window_.copyPressed(); });
    onClick(id::kSaveButton, [this] { window_.saveFilePressed(); });
    onClick(id::kLoadButton, [this] { window_.loadFilePressed(); });
    onClick(id::kBackupsButton, [this] { window_.backupsPressed(); });
    onClick(id::kFirmwareFileButton, [this] { window_.firmwarePressed(false); });
    onClick(id::kFirmwareNetworkButton, [this] { window_.firmwarePressed(true); });
    onClick(id::kDiagnosticsButton, [this] { window_.diagnosticsPressed(); });
    const std::pair<int, WindowKind> windows[] = {
        {id::kScriptButton, WindowKind::ScriptEditor},   {id::kSmartBeaconingButton, WindowKind::SmartBeacon},
        {id::kFreqButton, WindowKind::Frequency},        {id::kMoreTextsButton, WindowKind::StatusText},
        {id::kAccessListButton, WindowKind::AccessList}, {id::kDigipeaterButton, WindowKind::Digipeater},
        {id::kProfileSwitchButton, WindowKind::ProfileSwitch},
    };
    for (const auto& [controlId, kind] : windows) onClick(controlId, [this, kind] { window_.windowPressed(kind); });
}

void CTrackerConfigDialog::keyPressEvent(QKeyEvent* event) {
    // Only keys that reach the window itself, not those typed into a control.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == this) {
        const unsigned code = event->nativeVirtualKey() != 0 ? event->nativeVirtualKey()
                                                             : static_cast<unsigned>(event->key());
        unsigned data = 1u | ((event->nativeScanCode() & 0xFFu) << 16);
        if (event->modifiers() & Qt::AltModifier) data |= 1u << 29;
        if (event->isAutoRepeat()) data |= 1u << 30;
        window_.keyPressed(code, data);
    }
    QDialog::keyPressEvent(event);
}

}  // namespace varnel
