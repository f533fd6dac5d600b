#include "link/bin_export.h"

#include <cstdio>
#include <vector>

#include "core/bytes.h"
#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"

namespace varnel {

namespace layout = bin_export_layout;

int exportDeviceToBin(BootLink& link, const std::string& path) {
    UserInterface& ui = link.ui();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        ui.message(kErrorCreatingFile, MessageKind::Error);
        return -1;
    }
    std::vector<std::uint8_t> out(layout::kFileSize, layout::kHeaderFill);
    out[0] = layout::kMarker;
    putU16BE(&out[layout::kStartAddressField], static_cast<std::uint16_t>(layout::kStart));

    // A read that fails must not leave a file that looks like a good export.
    bool ok = readConfirmedInto(link, layout::kStart, layout::kEnd, &out[layout::kHeaderSize]) == 0;
    if (ok && std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        ok = false;
        ui.message(kErrorCreatingFile, MessageKind::Error);
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        ui.message(kErrorCreatingFile, MessageKind::Error);
    }
    if (!ok) {
        std::remove(path.c_str());
        return -1;
    }
    ui.message(std::string(kExportDone) + "\n" + kExportSavedTo + path, MessageKind::Information);
    return 0;
}

}  // namespace varnel
