#include "firmware/firmware_list.h"

#include "core/user_interface.h"
#include "firmware/http_client.h"

namespace varnel {

namespace {

constexpr std::string_view kTab = "\t";
constexpr std::string_view kLineBreaks = "\t\r\n";

// Skips any character of `skip`, then takes the text up to the next character
// of `stop` (consumed) or to the end. False when the text is exhausted first.
bool takeField(std::string_view text, std::size_t& pos, std::string_view skip, std::string_view stop,
               std::string& field) {
    while (pos < text.size() && skip.find(text[pos]) != std::string_view::npos) ++pos;
    if (pos >= text.size()) return false;
    std::size_t end = text.find_first_of(stop, pos);
    if (end == std::string_view::npos) end = text.size();
    field.assign(text.substr(pos, end - pos));
    pos = end < text.size() ? end + 1 : end;
    return true;
}

std::string cut(std::string s, std::size_t max) {
    if (s.size() > max) s.resize(max);
    return s;
}

}  // namespace

std::string firmwareListPath(const std::string& chipName) {
    if (chipName == "KX8") return "/support/firmware.txt";
    return "/support/firmware/" + chipName + "/list.txt";
}

std::vector<FirmwareRelease> parseFirmwareList(std::string_view body) {
    using namespace firmware_list_limits;
    std::vector<FirmwareRelease> rows;
    std::size_t pos = 0;
    while (rows.size() < kMaxRows) {
        std::string file, description, date;
        // A description ends only at a TAB: a row missing its date runs on into
        // the next line, as the servers' lists have always been read.
        if (!takeField(body, pos, kLineBreaks, kTab, file)) break;
        if (!takeField(body, pos, kLineBreaks, kTab, description)) break;
        if (!takeField(body, pos, kLineBreaks, kLineBreaks, date)) break;
        rows.push_back({cut(std::move(file), kMaxFile), cut(std::move(description), kMaxDescription),
                        cut(std::move(date), kMaxDate)});
    }
    return rows;
}

int fetchFirmwareList(HttpClient& http, const std::string& server, const std::string& chipName,
                      std::vector<FirmwareRelease>& rows, UserInterface& ui) {
    rows.clear();
    const HttpResponse response = http.get(server, firmwareListPath(chipName), firmware_list_limits::kMaxBody);
    if (response.status != 200) {
        ui.message(
            response.status == 0 ? unreachableServerMessage(server, response.error) : "Error retrieving firmware list",
            MessageKind::Error);
        return -1;
    }
    rows = parseFirmwareList(response.body);
    return 0;
}

}  // namespace varnel
