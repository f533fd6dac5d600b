#pragma once

#include <string>
#include <string_view>

#include "forms/script/script_editor_form.h"
#include "script/script_editor_model.h"
#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

class ScriptEditorView : public WindowHost {
public:
    virtual void readForm(ScriptEditorForm& form) = 0;
    virtual void showForm(const ScriptEditorForm& form) = 0;
};

// The script editor's commands besides the statement buttons.
enum class ScriptCommand {
    MoveUp,
    MoveDown,
    DeleteLine,
    ToggleNwLatitude,
    ToggleNwLongitude,
    ToggleSeLatitude,
    ToggleSeLongitude,
    CodeListing,
    PatchListing,
    Ok,
};

// The layout's buttons for the editor's commands besides the statements
// (kScriptButtons), by object name: what every front end binds them to.
struct ScriptCommandButton {
    std::string_view name;
    ScriptCommand command;
};
inline constexpr ScriptCommandButton kScriptCommandButtons[] = {
    {"upButton", ScriptCommand::MoveUp},
    {"downButton", ScriptCommand::MoveDown},
    {"deleteLineButton", ScriptCommand::DeleteLine},
    {"nwLatHemisphere", ScriptCommand::ToggleNwLatitude},
    {"nwLonHemisphere", ScriptCommand::ToggleNwLongitude},
    {"seLatHemisphere", ScriptCommand::ToggleSeLatitude},
    {"seLonHemisphere", ScriptCommand::ToggleSeLongitude},
    {"codeListButton", ScriptCommand::CodeListing},
    {"patchListButton", ScriptCommand::PatchListing},
    {"okButton", ScriptCommand::Ok},
};

// The script editor: the tracker's program as a list of lines built with
// statement buttons from a few operand inputs. ScriptEditorModel holds every
// rule; only OK changes the session's script area and the current profile's
// script switch. Each event reads the controls into the model first and
// shows the model's state after.
class ScriptEditorWindow {
public:
    ScriptEditorWindow(AppContext& context, ScriptEditorView& view);

    const ScriptEditorModel& model() const { return model_; }
    ScriptEditorForm& form() { return form_; }
    void start();

    void statementPressed(ScriptButton button);
    void commandPressed(ScriptCommand command);

private:
    void run(ScriptCommand command);

    AppContext& context_;
    ScriptEditorView& view_;
    ScriptEditorModel model_;
    ScriptEditorForm form_;
};

// The listing window's Save: the listing to a text file exactly as built.
void saveListingCommand(AppContext& context, const std::string& text);

}  // namespace varnel
