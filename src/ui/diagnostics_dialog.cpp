#include "ui/diagnostics_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <iterator>

#include "ui/accessibility.h"
#include "ui_diagnostics_dialog.h"

namespace varnel {

namespace id = diagnostics_id;

CDiagnosticsDialog::CDiagnosticsDialog(AppContext& context, const DiagnosticsSettings& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DiagnosticsDialog>()), window_(context, *this, settings),
      timers_(*this, [this](int id) { window_.timerTicked(id); }) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<FormBinding<DiagnosticsForm>>(*this, kDiagnosticsControls);
    for (const std::string& name : binding_->missing())
        qWarning("diagnostics dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(window_.form());
    window_.start();
    connectControls();
}

CDiagnosticsDialog::~CDiagnosticsDialog() = default;

void CDiagnosticsDialog::connectControls() {
    for (const ControlInfo<DiagnosticsForm>& info : kDiagnosticsControls) {
        QWidget* w = binding_->widget(info.id);
        if (!w) continue;
        const int controlId = info.id;
        switch (info.type) {
        case ControlType::Check:
            connect(static_cast<QCheckBox*>(w), &QCheckBox::clicked, this,
                    [this, controlId] { window_.controlChanged(controlId); });
            break;
        case ControlType::Radio:
            connect(static_cast<QRadioButton*>(w), &QRadioButton::toggled, this, [this, controlId](bool on) {
                if (on) window_.controlChanged(controlId);  // its partner's toggle-off needs nothing
            });
            break;
        case ControlType::Slider: {
            // A drag sends the level once, when the mouse lets go; arrow and
            // page keys and clicks on the groove send every step, so the
            // radio follows a level adjusted from the keyboard too.
            auto* slider = static_cast<QSlider*>(w);
            connect(slider, &QSlider::sliderReleased, this, [this, controlId] { window_.controlChanged(controlId); });
            connect(slider, &QSlider::valueChanged, this, [this, slider, controlId] {
                if (!slider->isSliderDown()) window_.controlChanged(controlId);
            });
            break;
        }
        case ControlType::Group: w->installEventFilter(this); break;  // "Sensors" reads when clicked
        case ControlType::Button:
            connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this, [this] { accept(); });
            break;
        default: break;
        }
    }
}

bool CDiagnosticsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == binding_->widget(id::kSensors) && event->type() == QEvent::MouseButtonRelease)
        window_.controlChanged(id::kSensors);
    return QDialog::eventFilter(watched, event);
}

void CDiagnosticsDialog::showForm(const DiagnosticsForm& form) {
    QWidget* readings[] = {binding_->widget(id::kVoltage), binding_->widget(id::kTemperature)};
    QString before[std::size(readings)];
    for (std::size_t i = 0; i < std::size(readings); ++i)
        if (readings[i]) before[i] = static_cast<QLabel*>(readings[i])->text();
    binding_->toWidgets(form);
    // A reading that changed is spoken; the receive level, which follows
    // the receiver live, is not.
    for (std::size_t i = 0; i < std::size(readings); ++i)
        if (readings[i] && static_cast<QLabel*>(readings[i])->text() != before[i]) announceChange(*readings[i]);
    ui_->receiveLevelBar->setVisible(form.receiveLevelShown);
    ui_->receiveLevelBar->setValue(form.receiveLevel);
    // The bar follows the receiver live; paint it now, not when idle.
    if (form.receiveLevelShown) ui_->receiveLevelBar->repaint();
}

int runDiagnosticsDialog(AppContext& context, QWidget* parent, DiagnosticsSettings& settings) {
    CDiagnosticsDialog dialog(context, settings, parent);
    const int result = dialog.exec();
    settings = dialog.settings();
    return result;
}

}  // namespace varnel
