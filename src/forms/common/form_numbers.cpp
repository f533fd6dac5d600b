#include "forms/common/form_numbers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "config/units.h"

namespace varnel {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string_view withoutSign(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    return text;
}

bool allDigits(std::string_view text) {
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

bool isFormInt(std::string_view text) {
    const std::string_view t = trimmed(text);
    const std::string_view digits = withoutSign(t);
    return t.empty() || (!digits.empty() && allDigits(digits));
}

bool isFormDecimal(std::string_view text) {
    const std::string_view t = trimmed(text);
    const std::string_view number = withoutSign(t);
    if (t.empty()) return true;
    const std::size_t point = number.find_first_of(".,");
    if (point == std::string_view::npos) return !number.empty() && allDigits(number);
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction = number.substr(point + 1);
    return (!whole.empty() || !fraction.empty()) && allDigits(whole) && allDigits(fraction);
}

long long readFormInt(std::string_view text) {
    if (!isFormInt(text)) return kNotANumber;
    const std::string_view t = trimmed(text);
    if (t.empty()) return 0;
    const bool negative = t.front() == '-';
    long long value = 0;
    for (char c : withoutSign(t)) {
        value = value * 10 + (c - '0');
        if (value > 999999999LL) break;  // far beyond any range; stop before overflow
    }
    return negative ? -value : value;
}

double readFormDecimal(std::string_view text) {
    if (!isFormDecimal(text)) return static_cast<double>(kNotANumber);
    const std::string_view t = trimmed(text);
    const std::string_view number = withoutSign(t);
    // Digit by digit rather than strtod, whose decimal point follows the
    // user's locale: the boxes take a point or a comma on every system. All
    // digits form one whole number divided once by a power of ten, so the
    // result is the double nearest to what was typed.
    const std::size_t point = std::min(number.find_first_of(".,"), number.size());
    double mantissa = 0.0;
    double divisor = 1.0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (i == point) continue;
        if (i > point && divisor >= 1e15) break;  // beyond what a double keeps
        mantissa = mantissa * 10 + (number[i] - '0');
        if (i > point) divisor *= 10;
    }
    const double value = mantissa / divisor;
    return !t.empty() && t.front() == '-' ? -value : value;
}

std::string formatInt(long long value) { return std::to_string(value); }

std::string formatFixed2(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

int txDelayStepsFromShownMs(int ms) {
    // The largest step count whose shown value trunc(steps x 6.6) is not
    // above ms: steps x 6.6 < ms + 1, computed in tenths of a millisecond.
    if (ms < 0) return 0;
    return ((ms + 1) * 10 - 1) / 66;
}

long long lowVoltageUnitsFromVolts(double volts, double scale) { return nearestInt(volts * scale); }

std::optional<std::uint8_t> lowVoltageByte(std::string_view text, double scale) {
    const double volts = readFormDecimal(text);
    if (volts < 0 || volts * scale > 1e6) return std::nullopt;
    const long long units = lowVoltageUnitsFromVolts(volts, scale);
    if (units < 0 || units > 255) return std::nullopt;
    return static_cast<std::uint8_t>(units);
}

}  // namespace varnel
