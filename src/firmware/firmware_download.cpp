#include "firmware/firmware_download.h"

#include <string_view>

#include "core/user_interface.h"
#include "firmware/http_client.h"
#include "firmware/srecord_parser.h"

namespace varnel {

int downloadFirmware(HttpClient& http, const std::string& server, const std::string& path,
                     FlashImage& image, UserInterface& ui) {
    const HttpResponse response = http.get(server, path, kMaxFirmwareDownload);
    // A body cut at the bound would load part of a firmware and call it done.
    if (response.status != 200 || response.truncated) {
        ui.message("Unable to download firmware file");
        return -1;
    }
    image.reset();
    SRecordParser parser(image, SRecordRules::network());
    const std::string_view body = response.body;
    std::size_t pos = 0;
    while (pos < body.size()) {
        // Lines are read as the file loader reads them: up to the line feed,
        // and a line longer than the buffer goes on as the next one.
        std::size_t end = body.find('\n', pos);
        end = end == std::string_view::npos ? body.size() : end + 1;
        if (end - pos > kSRecordLineMax) end = pos + kSRecordLineMax;
        const SRecordLineResult r = parser.feedLine(body.substr(pos, end - pos));
        if (r.kind == SRecordLineResult::Error) {
            ui.message(r.message);
            return -1;
        }
        if (r.kind == SRecordLineResult::End) break;
        pos = end;
    }
    return 0;
}

}  // namespace varnel
