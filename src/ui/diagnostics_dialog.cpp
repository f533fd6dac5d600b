#include "ui/diagnostics_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "session/session.h"
#include "ui_diagnostics_dialog.h"

namespace varnel {

namespace id = diagnostics_id;

namespace {

constexpr int kPollMs = 250;

}  // namespace

CDiagnosticsDialog::CDiagnosticsDialog(AppContext& context, const DiagnosticsSettings& settings, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::DiagnosticsDialog>()),
      diag_(*context.session.port, context.session.target.kind, context.session.metric), settings_(settings) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    binding_ = std::make_unique<FormBinding<DiagnosticsForm>>(*this, kDiagnosticsControls);
    for (const std::string& name : binding_->missing())
        qWarning("diagnostics dialog layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(form_);

    startDiagnostics(form_, diag_, settings_);
    showControls();
    connectControls();

    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMs);
    connect(pollTimer_, &QTimer::timeout, this, &CDiagnosticsDialog::onPoll);
    pollTimer_->start();
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
                    [this, controlId] { onControlChanged(controlId); });
            break;
        case ControlType::Radio:
            connect(static_cast<QRadioButton*>(w), &QRadioButton::toggled, this, [this, controlId](bool on) {
                if (on) onControlChanged(controlId);  // its partner's toggle-off needs nothing
            });
            break;
        case ControlType::Slider: {
            // A drag sends the level once, when the mouse lets go; arrow and
            // page keys and clicks on the groove send every step, so the
            // radio follows a level adjusted from the keyboard too.
            auto* slider = static_cast<QSlider*>(w);
            connect(slider, &QSlider::sliderReleased, this, [this, controlId] { onControlChanged(controlId); });
            connect(slider, &QSlider::valueChanged, this, [this, slider, controlId] {
                if (!slider->isSliderDown()) onControlChanged(controlId);
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
        onControlChanged(id::kSensors);
    return QDialog::eventFilter(watched, event);
}

void CDiagnosticsDialog::showControls() {
    binding_->toWidgets(form_);
    ui_->receiveLevelBar->setVisible(form_.receiveLevelShown);
    ui_->receiveLevelBar->setValue(form_.receiveLevel);
    // The bar follows the receiver live; paint it now, not when idle.
    if (form_.receiveLevelShown) ui_->receiveLevelBar->repaint();
}

void CDiagnosticsDialog::whenIdle(std::function<void()> action, bool droppable) {
    if (busy_) {
        if (!droppable) waiting_.push_back(std::move(action));
        return;
    }
    busy_ = true;
    action();
    while (!waiting_.empty()) {
        auto next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
    busy_ = false;
}

void CDiagnosticsDialog::onControlChanged(int controlId) {
    if (finished_) return;
    // The widgets are read at once, so a reading shown meanwhile cannot undo
    // the click; the bytes go out when the line is free.
    binding_->fromWidgets(form_);
    whenIdle([this, controlId] {
        if (finished_) return;
        diagnosticsControlChanged(form_, diag_, controlId);
        showControls();
    });
}

void CDiagnosticsDialog::onPoll() {
    whenIdle(
        [this] {
            if (!finished_ && pollDiagnostics(form_, diag_)) showControls();
        },
        true);
}

void CDiagnosticsDialog::done(int result) {
    // However the window closes, nothing is left switched on or playing.
    whenIdle([this, result] {
        if (finished_) return;
        pollTimer_->stop();
        settings_ = finishDiagnostics(diag_, settings_);
        finished_ = true;
        QDialog::done(result);
    });
}

int runDiagnosticsDialog(AppContext& context, QWidget* parent, DiagnosticsSettings& settings) {
    CDiagnosticsDialog dialog(context, settings, parent);
    const int result = dialog.exec();
    settings = dialog.settings();
    return result;
}

}  // namespace varnel
