#include "cli/write_steps.h"

#include <cstdio>
#include <cstring>

#include "config/settings_packing.h"
#include "session/session.h"

namespace varnel::cli {

std::string configFileChip(const std::string& path) {
    char id[config_file_layout::kDeviceIdSize + 1] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    const std::size_t n = std::fread(id, 1, config_file_layout::kDeviceIdSize, f);
    std::fclose(f);
    std::string chip, suffix;
    splitDeviceId(std::string(id, strnlen(id, n)), chip, suffix);
    return chip;
}

void packForWrite(Session& session, ConfigFlavour flavour) {
    session.image.reset();
    if (flavour == ConfigFlavour::Weather) {
        packWeatherSettings(session.image, session.target, session.settings);
    } else {
        packSettings(session.image, session.target, {session.settings, session.radio, session.script});
    }
}

}  // namespace varnel::cli
