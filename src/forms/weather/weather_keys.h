#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/common/form_keys.h"
#include "forms/weather/weather_form.h"

namespace varnel {

// The keys of `varnelcfg-cli show` / `set` for a weather station's record:
// one for every control the weather-station dialog edits.
inline constexpr std::size_t kWeatherKeyCount = 27;
extern const std::array<FormKey, kWeatherKeyCount> kWeatherKeys;

// The device fields `show` prints first (not settable), then every key with
// its value, in table order.
std::vector<std::pair<std::string, std::string>> weatherKeyValues(const WeatherForm& form, const Session& session);

// Every key with its range and unit, in table order. The wind speeds are in
// miles per hour, as the firmware keeps them, though the dialog is metric.
std::vector<KeyHelp> weatherKeyHelp();

// Applies one value as if the user had typed it or clicked it. Empty on
// success, else why it was refused (the form is then unchanged).
std::string applyWeatherKey(WeatherForm& form, std::string_view name, std::string_view value);

}  // namespace varnel
