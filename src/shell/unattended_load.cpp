#include "shell/unattended_load.h"

#include "shell/command_line.h"
#include "config/settings_packing.h"
#include "core/user_interface.h"
#include "firmware/address_check.h"
#include "firmware/srecord_loader.h"
#include "firmware/vector_remap.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "session/session.h"
#include "shell/firmware_sequences.h"

namespace varnel {

int runUnattendedLoad(AppContext& context, const std::string& commandLine, const std::string& resolvedPort) {
    Session& s = context.session;
    const UnattendedRequest request = parseUnattended(commandLine);
    BootLink link(s, context.ui);
    s.link.linkAbort = LinkState::kAbortRunning;
    const ConnectResult connected = Connector(link).connect(resolvedPort, true);
    s.link.linkAbort = LinkState::kAbortIdle;
    if (connected != ConnectResult::Connected) {
        s.port->closePort();
        return 1;
    }

    auto finish = [&](int status) {
        link.leaveBootloader();
        s.port->closePort();
        return status;
    };

    selectTarget(s.target, s.link.chipName);
    if (const int loaded = loadSRecordFile(request.firmwarePath, s.image, context.ui); loaded < 0) {
        // Half a firmware is not written: the tracker keeps what it runs.
        if (loaded != kNoRecordsLoaded) context.ui.message("Error loading firmware file", MessageKind::Error);
        return finish(1);
    }
    if (!imageHasResetVector(s.image, s.link.deviceInfo)) {
        // Nobody is there to ask, and once its old code is erased the
        // tracker could not start again: nothing is written.
        context.ui.message(kNoResetVector, MessageKind::Error);
        return finish(1);
    }
    WorkingRecords records{s.settings, s.radio, s.script};
    if (request.keepSettings) {
        // The tracker's own settings and script go into the new image. The
        // image's settings area then holds what was just read from the
        // tracker, so its first four bytes (family, type, build) are the
        // tracker's too.
        if (keepDeviceConfiguration(link, s) < 0) return finish(1);
    } else {
        unpackSettings(s.image, s.target, records);
    }
    remapVectors(s.image, s.link.deviceInfo);
    if (validateImageAddresses(s.image, s.link.deviceInfo, s.target.kind, context.ui) < 0) return finish(1);
    const int written = writeWithBackup(context, WriteBack::DontAsk);
    return finish(written == 0 ? 0 : 1);
}

}  // namespace varnel
