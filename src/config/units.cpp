#include "config/units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace varnel {
namespace {

// A product such as 12.33 x 13.783 carries a rounding error of a few units
// in the last place; pull it onto the whole number or half it stands for.
double settle(double value) {
    const double half = std::round(value * 2.0) / 2.0;
    const double tolerance = 1e-9 * std::max(1.0, std::fabs(value));
    return std::fabs(value - half) <= tolerance ? half : value;
}

int nearestOfMagnitude(double magnitude) {
    const double whole = std::floor(magnitude);
    return static_cast<int>(magnitude - whole > 0.5 ? whole + 1.0 : whole);
}

}  // namespace

int nearestInt(double value) {
    value = settle(value);
    return value < 0 ? -nearestOfMagnitude(-value) : nearestOfMagnitude(value);
}

int truncInt(double value) { return static_cast<int>(std::trunc(settle(value))); }

long long nearestRatio(long long numerator, long long denominator) {
    const bool negative = numerator < 0;
    const long long n = negative ? -numerator : numerator;
    long long q = n / denominator;
    if (2 * (n % denominator) > denominator) ++q;
    return negative ? -q : q;
}

// 6.6 ms = 66 / 10 ms.
int txDelayToMs(std::uint8_t raw) { return raw * 66 / 10; }
int txDelayFromMs(int ms) { return ms * 10 / 66; }

// 0.86806 = 86806 / 100000 units per km/h; 1.397 = 1397 / 1000 units per MPH.
int speedToDisplay(std::uint8_t raw, bool metric) {
    return metric ? static_cast<int>(raw * 100000LL / 86806) : raw * 1000 / 1397;
}
int speedFromDisplay(int value, bool metric) {
    return static_cast<int>(metric ? nearestRatio(value * 86806LL, 100000) : nearestRatio(value * 1397LL, 1000));
}

double lowVoltageScale(TargetKind kind) {
    switch (kind) {
    case KindKX8: return 17.0;
    case KindJL16: return 13.783;
    default: return 12.75;
    }
}

std::string formatLowVoltage(std::uint8_t raw, double scale) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", scale > 0 ? raw / scale : 0.0);
    return text;
}

int lowVoltageToRaw(double volts, double scale) { return truncInt(volts * scale); }

// 1.609 = 1609 / 1000 km per statute mile.
int rangeToDisplay(std::uint8_t miles, bool metric) {
    return metric ? static_cast<int>(nearestRatio(miles * 1609LL, 1000)) : miles;
}
int rangeFromDisplay(int value, bool metric) {
    return metric ? static_cast<int>(nearestRatio(value * 1000LL, 1609)) : value;
}

// 1.8 = 18 / 10; integer division truncates toward zero, as the display wants.
int tempOffsetToDisplay(std::int8_t celsius, bool metric) { return metric ? celsius : celsius * 18 / 10; }
int tempOffsetFromDisplay(int value, bool metric) {
    return metric ? value : static_cast<int>(nearestRatio(value * 10LL, 18));
}

double carrierFrequencyHz(int multiplier) { return multiplier * 31.25; }

// 31.25 / 0.439453125 = 16000 / 225 exactly.
std::uint16_t carrierWordFor(int multiplier) { return static_cast<std::uint16_t>(multiplier * 16000LL / 225); }

int switchAltitudeToDisplay(std::uint16_t raw, bool metric) {
    const double metres = raw * 2.56 - 10000.0;
    return metric ? nearestInt(metres) : truncInt(metres * 3.2808);
}
double switchAltitudeUnits(long long value, bool metric) {
    const double metres = metric ? static_cast<double>(value) : value / 3.2808;
    return settle((metres + 10000.0) / 2.56);
}
int switchSpeedToDisplay(std::uint8_t raw, bool metric) {
    return static_cast<int>(metric ? nearestRatio(raw * 100000LL, 86806) : nearestRatio(raw * 1000LL, 1397));
}
long long switchSpeedFromDisplay(long long value, bool metric) {
    return metric ? nearestRatio(value * 86806LL, 100000) : nearestRatio(value * 1397LL, 1000);
}
int switchTemperatureToDisplay(std::uint8_t raw, int tempOffset, bool metric) {
    const double celsius = raw * 1.9608 - 273.0 - tempOffset;
    return nearestInt(metric ? celsius : celsius * 1.8 + 32.0);
}
long long switchTemperatureFromDisplay(long long value, int tempOffset, bool metric) {
    const double celsius = metric ? static_cast<double>(value) : (value - 32.0) / 1.8;
    return nearestInt((celsius + tempOffset + 273.0) / 1.9608);
}

}  // namespace varnel
