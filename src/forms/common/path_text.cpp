#include "forms/common/path_text.h"

#include "config/ax25_codec.h"
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

}  // namespace varnel
