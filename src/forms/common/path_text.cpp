#include "forms/common/path_text.h"

#include <algorithm>

#include "config/ax25_codec.h"
#include "config/profile_layout.h"
#include "config/weather_record.h"
#include "forms/tracker/tracker_messages.h"

namespace varnel {

namespace {

const char* reasonFor(AddressRefusal why) {
    switch (why) {
    case AddressRefusal::SsidRange: return "SSID must be 0 to 15";
    case AddressRefusal::TextAfterSsid: return "only the SSID number may follow the '-'";
    case AddressRefusal::CallsignLength: return "a callsign has at most six letters and digits before the '-'";
    case AddressRefusal::BadCharacter: return "a callsign takes letters and digits only";
    case AddressRefusal::EmptyElement: return "an element is empty; elements are separated by single commas";
    case AddressRefusal::None: break;
    }
    return "";
}

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        parts.push_back(text.substr(start, comma - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string withoutBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string addressRefusal(const char* message, const std::string& shown, AddressRefusal why) {
    return std::string(message) + " \"" + shown + "\": " + reasonFor(why) + ".";
}

std::string callsignBoxText(const std::string& text) { return withoutBlanks(text); }

std::string encodeDialogPath(const std::string& text, std::vector<std::uint8_t>& bytes) {
    constexpr int kSlot = 21;
    std::string pathText;
    for (char c : text)
        if (c != ' ') pathText += c;
    std::vector<std::uint8_t> encoded;
    AddressRefusal why = AddressRefusal::None;
    std::size_t element = 0;
    const int count = encodePath(pathText, encoded, &why, &element);
    if (count < 0) {
        // Name the element as it was typed; one whose spaces were all that
        // joined two callsigns is told so.
        const std::vector<std::string> typed = splitAtCommas(text);
        const std::string shown = element < typed.size() ? withoutBlanks(typed[element]) : text;
        if (why != AddressRefusal::SsidRange && why != AddressRefusal::EmptyElement &&
            shown.find(' ') != std::string::npos)
            return std::string(tracker_message::kInvalidPath) + " \"" + shown +
                   "\": elements are separated by commas, with no spaces.";
        return addressRefusal(tracker_message::kInvalidPath, why == AddressRefusal::EmptyElement ? text : shown, why);
    }
    if (count > kSlot) return tracker_message::kPathTooLong;
    bytes = std::move(encoded);
    return "";
}

namespace {

// The tracker's profile and the weather record keep the same AX.25 field.
constexpr std::size_t kSsid = 6;
constexpr std::size_t kFieldSize = 7;
constexpr std::uint8_t kAlwaysSet = profile_layout::kSsidAlwaysSet;
constexpr std::uint8_t kLastAddress = profile_layout::kSsidLastAddress;
static_assert(kAlwaysSet == weather_layout::kSsidAlwaysSet && kLastAddress == weather_layout::kSsidLastAddress);
constexpr std::size_t kPathSlot = profile_layout::kPathSize;
static_assert(kPathSlot == weather_layout::kPathSize);

}  // namespace

std::string storeStationAddress(const std::string& text, const StationFields& record) {
    if (text != decodeAddress(record.source)) {
        AddressField source{};
        const std::string callsign = callsignBoxText(text);
        if (const AddressRefusal why = encodeAddressChecked(callsign, source); why != AddressRefusal::None)
            return addressRefusal(tracker_message::kInvalidCallsign, callsign, why);
        std::copy(source.begin(), source.end(), record.source);
    }
    record.source[kSsid] |= kAlwaysSet;
    return "";
}

std::string storeStationPath(const std::string& text, const StationFields& record) {
    if (text != decodePath(record.path, kPathSlot, *record.pathLength)) {
        std::vector<std::uint8_t> bytes;
        if (std::string refusal = encodeDialogPath(text, bytes); !refusal.empty()) return refusal;
        std::copy(bytes.begin(), bytes.end(), record.path);
        *record.pathLength = static_cast<std::uint8_t>(bytes.size());
    }
    // The last address of the path, or the station's own with no path,
    // carries the end mark: a kept path that lost it gets it back.
    const std::size_t length = *record.pathLength;
    if (length == 0) record.source[kSsid] |= kLastAddress;
    else if (length <= kPathSlot && length % kFieldSize == 0) record.path[length - 1] |= kLastAddress;
    return "";
}

}  // namespace varnel
