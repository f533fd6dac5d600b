#include "ui/script_editor_dialog.h"

#include <QFontDatabase>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>

#include "script/script_listings.h"
#include "session/session.h"
#include "ui/listing_dialog.h"
#include "ui_script_editor_dialog.h"

namespace varnel {

CScriptEditorDialog::CScriptEditorDialog(AppContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      ui_(std::make_unique<Ui::ScriptEditorDialog>()),
      model_(context.session.script, currentProfileFeatureFlags(context.session), context.ui) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    // Fixed-width text, so that the two-space indentation of nested blocks
    // lines up.
    ui_->lineList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    binding_ = std::make_unique<FormBinding<ScriptEditorForm>>(*this, kScriptEditorControls);
    for (const std::string& name : binding_->missing())
        qWarning("script editor layout has no suitable widget \"%s\"", name.c_str());
    binding_->takeCaptions(form_);

    for (const ScriptButtonInfo& info : kScriptButtons) {
        const ScriptButton button = info.button;
        connectButton(info.name, [this, button] { model_.press(button); });
    }
    connectButton("upButton", [this] { model_.moveUp(); });
    connectButton("downButton", [this] { model_.moveDown(); });
    connectButton("deleteLineButton", [this] { model_.deleteLine(); });
    connectButton("nwLatHemisphere", [this] { model_.toggleNwLatitude(); });
    connectButton("nwLonHemisphere", [this] { model_.toggleNwLongitude(); });
    connectButton("seLatHemisphere", [this] { model_.toggleSeLatitude(); });
    connectButton("seLonHemisphere", [this] { model_.toggleSeLongitude(); });
    connectButton("codeListButton", [this] {
        showListing(codeListing(model_.statementLines()), kCodeListingTitle, context_.files, context_.ui, this);
    });
    connectButton("patchListButton", [this] {
        const std::string text =
            patchListing(model_.statements(), context_.session.target.scriptAddress, context_.ui);
        showListing(text, kPatchListingTitle, context_.files, context_.ui, this);
    });
    // A program too large for the area keeps the window open, so the user
    // can delete lines; the stored script is then unchanged.
    connectButton("okButton", [this] {
        if (model_.ok()) accept();
    });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    showScriptEditor(model_, form_);
    binding_->toWidgets(form_);
}

CScriptEditorDialog::~CScriptEditorDialog() = default;

void CScriptEditorDialog::connectButton(std::string_view name, std::function<void()> action) {
    auto* button = findChild<QPushButton*>(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    if (!button) {
        qWarning("script editor layout has no button \"%.*s\"", static_cast<int>(name.size()), name.data());
        return;
    }
    connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] { act(action); });
}

void CScriptEditorDialog::act(const std::function<void()>& action) {
    binding_->fromWidgets(form_);
    readScriptEditor(form_, model_);
    action();
    showScriptEditor(model_, form_);
    binding_->toWidgets(form_);
}

}  // namespace varnel
