#include "firmware/bin_export.h"

#include <cstdio>

#include "core/bytes.h"

namespace varnel {

std::vector<std::uint8_t> buildBinExport(const std::vector<std::uint8_t>& memory) {
    using namespace bin_export;
    std::vector<std::uint8_t> out(kFileSize, 0);
    out[0] = kMarker;
    putU16BE(&out[1], static_cast<std::uint16_t>(kStart));
    for (std::uint32_t a = kStart; a < kEnd && a < memory.size(); ++a)
        out[kHeaderSize + (a - kStart)] = memory[a];
    return out;
}

bool writeBinExport(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

}  // namespace varnel
