#include "emulator/flash_file.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "core/user_interface.h"
#include "device/flash_image.h"
#include "firmware/srecord_loader.h"

namespace varnel {

namespace {

// The host's export: 0x1D, the start address (big-endian), padding to 128
// bytes, then device memory 0x0880 up to 0xFA00.
constexpr std::uint8_t kExportMarker = 0x1D;
constexpr std::size_t kExportHeaderSize = 128;
constexpr std::size_t kExportDataSize = 0xFA00 - 0x0880;

class CollectingUi : public UserInterface {
public:
    std::string text;
    void message(const std::string& t, MessageKind) override { text += text.empty() ? t : "; " + t; }
    bool askYesNo(const std::string&) override { return false; }
};

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool loadFlashFile(const std::string& path, FlashMemory& flash, std::string& error) {
    std::string lower = path;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (endsWith(lower, ".s19") || endsWith(lower, ".s28") || endsWith(lower, ".s37") || endsWith(lower, ".srec")) {
        FlashImage image;
        CollectingUi ui;
        if (loadSRecordFile(path, image, ui) != 0) {
            error = ui.text.empty() ? "cannot load " + path : ui.text;
            return false;
        }
        for (std::uint32_t a = 0; a < kFlashSize; ++a)
            if (image.touched[a] != kUntouched) flash.load(a, &image.bytes[a], 1);
        return true;
    }

    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() == kExportHeaderSize + kExportDataSize && bytes[0] == kExportMarker) {
        const std::uint32_t start = (std::uint32_t{bytes[1]} << 8) | bytes[2];
        flash.load(start, bytes.data() + kExportHeaderSize, kExportDataSize);
        return true;
    }
    if (bytes.size() > FlashMemory::kSize) {
        error = path + " is larger than the 256 KiB flash";
        return false;
    }
    flash.load(0, bytes.data(), bytes.size());
    return true;
}

bool saveFlashFile(const std::string& path, const FlashMemory& flash, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(flash.cells().data()), static_cast<std::streamsize>(flash.cells().size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace varnel
