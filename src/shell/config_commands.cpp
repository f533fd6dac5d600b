#include "shell/config_commands.h"

#include "session/session.h"
#include "shell/firmware_sequences.h"
#include "shell/front_end.h"

namespace varnel {

namespace {
constexpr const char* kConfigFilter = "Configuration Files (*.cfg)";
}

int writeOrConnect(AppContext& context, ConfigFlavour flavour) {
    if (context.session.link.connected) {
        writeConfiguration(context, flavour);
        return 0;
    }
    return context.windows.runConnect(context, {}) == kResultAccepted ? kResultReconnect : 0;
}

void saveConfigCommand(AppContext& context, ConfigFlavour flavour) {
    const std::string path = context.files.saveFile(kConfigFilter, "cfg");
    if (path.empty()) return;
    saveConfigFile(path, context.session, flavour, context.ui);
}

bool loadConfigCommand(AppContext& context, ConfigFlavour flavour) {
    const std::string path = context.files.openFile(kConfigFilter, "cfg");
    if (path.empty()) return false;
    loadConfigFile(path, context.session, flavour, context.ui);
    return true;
}

}  // namespace varnel
