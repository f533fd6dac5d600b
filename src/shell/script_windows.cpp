#include "shell/script_windows.h"

#include "script/script_listings.h"
#include "session/session.h"

namespace varnel {

ScriptEditorWindow::ScriptEditorWindow(AppContext& context, ScriptEditorView& view)
    : context_(context), view_(view),
      model_(context.session.script, currentProfileFeatureFlags(context.session), context.ui) {}

void ScriptEditorWindow::start() {
    showScriptEditor(model_, form_);
    view_.showForm(form_);
}

void ScriptEditorWindow::statementPressed(ScriptButton button) {
    view_.readForm(form_);
    readScriptEditor(form_, model_);
    model_.press(button);
    showScriptEditor(model_, form_);
    view_.showForm(form_);
}

void ScriptEditorWindow::commandPressed(ScriptCommand command) {
    view_.readForm(form_);
    readScriptEditor(form_, model_);
    run(command);
    showScriptEditor(model_, form_);
    view_.showForm(form_);
}

void ScriptEditorWindow::run(ScriptCommand command) {
    switch (command) {
    case ScriptCommand::MoveUp: model_.moveUp(); break;
    case ScriptCommand::MoveDown: model_.moveDown(); break;
    case ScriptCommand::DeleteLine: model_.deleteLine(); break;
    case ScriptCommand::ToggleNwLatitude: model_.toggleNwLatitude(); break;
    case ScriptCommand::ToggleNwLongitude: model_.toggleNwLongitude(); break;
    case ScriptCommand::ToggleSeLatitude: model_.toggleSeLatitude(); break;
    case ScriptCommand::ToggleSeLongitude: model_.toggleSeLongitude(); break;
    case ScriptCommand::CodeListing:
        context_.windows.runListing(context_, kCodeListingTitle, codeListing(model_.statementLines()));
        break;
    case ScriptCommand::PatchListing:
        context_.windows.runListing(
            context_, kPatchListingTitle,
            patchListing(model_.statements(), context_.session.target.scriptAddress, context_.ui));
        break;
    case ScriptCommand::Ok:
        // A program too large for the area keeps the window open, so the user
        // can delete lines; the stored script is then unchanged.
        if (model_.ok()) view_.end(kResultAccepted);
        break;
    }
}

void saveListingCommand(AppContext& context, const std::string& text) {
    const std::string path = context.files.saveFile("Text Files (*.txt)", "txt");
    if (path.empty()) return;
    saveListingFile(path, text, context.ui);
}

}  // namespace varnel
