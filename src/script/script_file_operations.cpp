#include "script/script_file_operations.h"

#include <algorithm>

#include "core/user_interface.h"
#include "script/code_listing_reader.h"
#include "script/exact_script_text.h"
#include "script/script_compiler.h"
#include "script/script_editor_model.h"
#include "script/script_listings.h"
#include "session/config_file.h"
#include "session/session.h"

namespace varnel {

namespace {

std::string noScriptMessage(const std::string& chipName) {
    return "The " + (chipName.empty() ? std::string("unknown") : chipName) + " target keeps no script";
}

}  // namespace

int loadScriptConfig(const std::string& path, Session& session, UserInterface& ui) {
    if (loadConfigFileOffline(path, session, ui) != 0) return -1;
    selectTarget(session.target, session.link.chipName);
    if (!session.target.hasScript()) {
        ui.message(noScriptMessage(session.link.chipName));
        return -1;
    }
    return 0;
}

int configScriptLines(const std::string& path, std::vector<std::string>& lines, UserInterface& ui) {
    Session session;
    if (loadScriptConfig(path, session, ui) != 0) return -1;
    ScriptEditorModel editor(session.script, currentProfileFeatureFlags(session), ui);
    lines.clear();
    for (int item = 1; item + 1 < editor.itemCount(); ++item) {
        // The editor's indentation, then a line that reads back to exactly
        // the stored bytes.
        const ScriptLine& line = editor.slotOf(item);
        const std::string shown = editor.itemText(item);
        lines.push_back(shown.substr(0, shown.size() - line.text.size()) + exactStatementLine(line.bytes));
    }
    return 0;
}

int configScriptPatch(const std::string& path, std::string& listing, UserInterface& ui) {
    Session session;
    if (loadScriptConfig(path, session, ui) != 0) return -1;
    ScriptEditorModel editor(session.script, currentProfileFeatureFlags(session), ui);
    listing = patchListing(editor.statements(), session.target.scriptAddress, ui);
    return listing.empty() ? -1 : 0;
}

int readCodeListingStatements(std::string_view text, std::vector<std::vector<std::uint8_t>>& statements,
                              UserInterface& ui) {
    CodeListingResult read = readCodeListing(text);
    if (read.errorLine != 0) {
        ui.message("Line " + std::to_string(read.errorLine) + ": " + read.errorText);
        return -1;
    }
    statements.clear();
    for (auto& s : read.statements) statements.push_back(std::move(s.bytes));
    return 0;
}

int storeScriptInConfig(const std::string& path, const std::vector<std::vector<std::uint8_t>>& statements,
                        UserInterface& ui) {
    Session session;
    if (loadScriptConfig(path, session, ui) != 0) return -1;
    ScriptBuffer scratch;
    const int size = compileScript(statements, scratch, ui);
    if (size == 0) return -1;
    std::copy(scratch.begin(), scratch.end(), session.script.bytes.begin());
    if (saveConfigFile(path, session, ConfigFlavour::Tracker, ui) != 0) return -1;
    return size;
}

int chipScriptPatch(const std::string& chipName, const std::vector<std::vector<std::uint8_t>>& statements,
                    std::string& listing, UserInterface& ui) {
    const TargetTableEntry* target = findTarget(chipName);
    if (!target || target->scriptAddress == 0) {
        ui.message(noScriptMessage(chipName));
        return -1;
    }
    listing = patchListing(statements, target->scriptAddress, ui);
    return listing.empty() ? -1 : 0;
}

}  // namespace varnel
