#include "ui/tracker_config_dialog.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
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
    binding_->forwardEvents(*this, window_);
    // Ctrl+Tab and Ctrl+Shift+Tab turn the profile tabs from any control, as
    // in property pages.
    if (auto* tabs = qobject_cast<QTabBar*>(binding_->widget(id::kTabs)))
        for (const auto& [keys, step] : {std::pair{QKeySequence::NextChild, 1}, {QKeySequence::PreviousChild, -1}})
            connect(new QShortcut(keys, this), &QShortcut::activated, tabs, [tabs, step = step] {
                if (tabs->isEnabled() && tabs->count() > 1)
                    tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
            });
}

void CTrackerConfigDialog::keyPressEvent(QKeyEvent* event) {
    // Only keys that reach the window itself, not those typed into a control.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == this) {
        const unsigned code =
            event->nativeVirtualKey() != 0 ? event->nativeVirtualKey() : static_cast<unsigned>(event->key());
        unsigned data = 1u | ((event->nativeScanCode() & 0xFFu) << 16);
        if (event->modifiers() & Qt::AltModifier) data |= 1u << 29;
        if (event->isAutoRepeat()) data |= 1u << 30;
        window_.keyPressed(code, data);
    }
    QDialog::keyPressEvent(event);
}

}  // namespace varnel
