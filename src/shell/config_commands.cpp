#include "shell/config_commands.h"

#include "core/user_interface.h"
#include "session/session.h"
#include "shell/firmware_sequences.h"
#include "shell/front_end.h"

namespace varnel {

namespace {
constexpr const char* kConfigFilter = "Configuration Files (*.cfg)";

// Tries the controls' edits without a word: a refused value is an edit too.
class SilentUi : public UserInterface {
public:
    void message(const std::string&, MessageKind) override {}
    bool askYesNo(const std::string&) override { return false; }
};
}  // namespace

int writeOrConnect(AppContext& context, ConfigFlavour flavour) {
    if (context.session.link.connected) {
        if (writeConfiguration(context, flavour) == 0) context.session.markSaved();
        return 0;
    }
    return context.windows.runConnect(context, {}) == kResultAccepted ? kResultReconnect : 0;
}

void saveConfigCommand(AppContext& context, ConfigFlavour flavour) {
    const std::string path = context.files.saveFile(kConfigFilter, "cfg");
    if (path.empty()) return;
    if (saveConfigFile(path, context.session, flavour, context.ui) == 0) context.session.markSaved();
}

bool loadConfigCommand(AppContext& context, ConfigFlavour flavour) {
    const std::string path = context.files.openFile(kConfigFilter, "cfg");
    if (path.empty()) return false;
    if (loadConfigFile(path, context.session, flavour, context.ui) == 0) context.session.markSaved();
    return true;
}

bool backupsCommand(AppContext& context) {
    return context.windows.run(WindowKind::Backups, context) == kResultAccepted;
}

int leaveConfigWindow(AppContext& context, ConfigFlavour flavour, const StoreControls& store) {
    Session& s = context.session;
    const RecordsSnapshot before = s.snapshot();
    SilentUi silent;
    // A box the window would refuse holds an edit too.
    const bool edited = store(silent) != 0 || s.unsaved();
    s.restore(before);
    if (!edited) return kResultRejected;

    switch (context.ui.askChoice(kUnsavedEditsQuestion, "Write", "Discard")) {
    case UserInterface::Answer::Cancel: return kStayOpen;
    case UserInterface::Answer::Second: return kResultRejected;
    case UserInterface::Answer::First: break;
    }
    if (store(context.ui) != 0) return kStayOpen;
    const int result = writeOrConnect(context, flavour);
    if (result == kResultReconnect) return kResultReconnect;
    // Written: leave. A write that failed (or a connect cancelled) stays.
    return s.unsaved() ? kStayOpen : kResultRejected;
}

}  // namespace varnel
