#include "firmware/firmware_download.h"

#include "core/user_interface.h"
#include "firmware/http_client.h"
#include "firmware/srecord_loader.h"

namespace varnel {

int downloadFirmware(HttpClient& http, const std::string& server, const std::string& path, FlashImage& image,
                     UserInterface& ui) {
    const HttpResponse response = http.get(server, path, kMaxFirmwareDownload);
    // A body cut at the bound would load part of a firmware and call it done.
    if (response.status != 200 || response.truncated) {
        ui.message(response.status == 0 ? unreachableServerMessage(server, response.error)
                                        : "Unable to download firmware file",
                   MessageKind::Error);
        return -1;
    }
    return readSRecordText(response.body, SRecordRules::network(), image, ui);
}

}  // namespace varnel
