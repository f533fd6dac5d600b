#include "forms/common/path_text.h"

#include <algorithm>

#include "config/ax25_codec.h"
#include "config/profile_layout.h"
#include "config/weather_record.h"
#include "forms/tracker/tracker_messages.h"

namespace varnel {

const char* encodeDialogPath(const std::string& text, std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kTyped = 29;
    constexpr int kSlot = 21;
    std::string pathText;
    for (char c : text.substr(0, kTyped))
        if (c != ' ') pathText += c;
    std::vector<std::uint8_t> encoded;
    const int count = encodePath(pathText, encoded);
    if (count < 0) return tracker_message::kInvalidPath;
    if (count > kSlot) return tracker_message::kPathTooLong;
    bytes = std::move(encoded);
    return nullptr;
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

const char* storeStationAddress(const std::string& text, const StationFields& record) {
    if (text != decodeAddress(record.source)) {
        AddressField source{};
        if (!encodeAddress(text.substr(0, 9), source)) return tracker_message::kInvalidCallsign;
        std::copy(source.begin(), source.end(), record.source);
    }
    record.source[kSsid] |= kAlwaysSet;
    return nullptr;
}

const char* storeStationPath(const std::string& text, const StationFields& record) {
    if (text != decodePath(record.path, kPathSlot, *record.pathLength)) {
        std::vector<std::uint8_t> bytes;
        if (const char* refusal = encodeDialogPath(text, bytes)) return refusal;
        std::copy(bytes.begin(), bytes.end(), record.path);
        *record.pathLength = static_cast<std::uint8_t>(bytes.size());
    }
    // The last address of the path, or the station's own with no path,
    // carries the end mark: a kept path that lost it gets it back.
    const std::size_t length = *record.pathLength;
    if (length == 0)
        record.source[kSsid] |= kLastAddress;
    else if (length <= kPathSlot && length % kFieldSize == 0)
        record.path[length - 1] |= kLastAddress;
    return nullptr;
}

}  // namespace varnel
