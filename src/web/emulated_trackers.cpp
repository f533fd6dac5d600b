#include "web/emulated_trackers.h"

#include "emulator/model/default_settings.h"
#include "emulator/model/emulated_chip.h"

namespace varnel::web {

namespace {

// "emulated:AP64" is a tracker with the AP64 chip, "emulated:AP64:weather"
// the same board running the weather station's firmware.
constexpr const char* kPrefix = "emulated:";
constexpr const char* kWeather = ":weather";
constexpr const char* kWeatherChip = "AP64";

}  // namespace

std::vector<PortSlot> EmulatedTrackers::slots() const {
    std::vector<PortSlot> out;
    std::size_t count = 0;
    const EmulatedChip* chips = emulatedChips(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string chip(chips[i].chipName);
        out.push_back({kPrefix + chip, "Emulated tracker (" + chip + ")",
                       "A tracker with the " + chip + " chip, emulated in this page: nothing needs to be plugged in"});
    }
    out.push_back({std::string(kPrefix) + kWeatherChip + kWeather,
                   std::string("Emulated weather station (") + kWeatherChip + ")",
                   "A weather station, emulated in this page: nothing needs to be plugged in"});
    return out;
}

DeviceModel* EmulatedTrackers::modelFor(const std::string& path) {
    if (path.rfind(kPrefix, 0) != 0) return nullptr;
    if (const auto found = models_.find(path); found != models_.end()) return found->second.get();
    std::string chipName = path.substr(std::string(kPrefix).size());
    const bool weather =
        chipName.size() > std::string(kWeather).size() &&
        chipName.compare(chipName.size() - std::string(kWeather).size(), std::string::npos, kWeather) == 0;
    if (weather) chipName.resize(chipName.size() - std::string(kWeather).size());
    const EmulatedChip* chip = findEmulatedChip(chipName);
    if (!chip) return nullptr;
    auto model = std::make_unique<DeviceModel>(*chip);
    if (weather) writeDefaultWeatherSettings(model->flash(), *chip);
    else writeDefaultSettings(model->flash(), *chip);
    return models_.emplace(path, std::move(model)).first->second.get();
}

}  // namespace varnel::web
