#include "ui/script_editor_dialog.h"

#include <QFontDatabase>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>

#include "ui_script_editor_dialog.h"

namespace varnel {

CScriptEditorDialog::CScriptEditorDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ScriptEditorDialog>()), window_(context, *this) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    // Fixed-width text, so that the two-space indentation of nested blocks
    // lines up.
    ui_->lineList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    binding_ = std::make_unique<FormBinding<ScriptEditorForm>>(*this, kScriptEditorControls);
    for (const std::string& name : binding_->missing())
        qWarning("script editor layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(window_.form());

    for (const ScriptButtonInfo& info : kScriptButtons) {
        const ScriptButton button = info.button;
        connectButton(info.name, [this, button] { window_.statementPressed(button); });
    }
    for (const auto& [name, command] : kScriptCommandButtons)
        connectButton(name, [this, command = command] { window_.commandPressed(command); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    window_.start();
}

CScriptEditorDialog::~CScriptEditorDialog() = default;

void CScriptEditorDialog::connectButton(std::string_view name, std::function<void()> action) {
    auto* button = findChild<QPushButton*>(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    if (!button) {
        qWarning("script editor layout has no button \"%.*s\"", static_cast<int>(name.size()), name.data());
        return;
    }
    connect(button, &QPushButton::clicked, this, std::move(action));
}

}  // namespace varnel
