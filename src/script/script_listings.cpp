#include "script/script_listings.h"

#include <algorithm>
#include <cstdio>

#include "core/user_interface.h"
#include "script/script_compiler.h"

namespace varnel {

std::string codeListing(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string patchListing(const std::vector<std::vector<std::uint8_t>>& statements, std::uint32_t scriptAddress,
                         UserInterface& ui) {
    static constexpr char kHex[] = "0123456789abcdef";
    ScriptBuffer buffer;
    const std::size_t size = static_cast<std::size_t>(compileScript(statements, buffer, ui));
    std::string text;
    std::uint32_t address = scriptAddress;
    for (std::size_t position = 0; position < size;) {
        const std::size_t count = std::min(kPatchBytesPerLine, size - position);
        char head[32];
        std::snprintf(head, sizeof head, "PATCH %04x%02x", static_cast<unsigned>(address),
                      static_cast<unsigned>(count));
        text += head;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t b = buffer[position + i];
            text += kHex[b >> 4];
            text += kHex[b & 0x0F];
        }
        text += "\r\n";
        position += count;
        address += static_cast<std::uint32_t>(count);
    }
    return text;
}

int saveListingFile(const std::string& path, std::string_view text, UserInterface& ui) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr;
    if (f) {
        ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        ok = std::fclose(f) == 0 && ok;
        if (!ok) std::remove(path.c_str());
    }
    if (!ok) {
        ui.message(kListingWriteError, MessageKind::Error);
        return -1;
    }
    return 0;
}

}  // namespace varnel
