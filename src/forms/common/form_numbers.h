#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnel {

// Numbers as a dialog reads them from an edit box. Surrounding blanks are
// ignored and an empty box reads as 0; a decimal comma counts as a decimal
// point ("36,25"). Text that is not wholly a number ("100m", "145.5MHz",
// "abc") reads as kNotANumber, far outside every range the dialogs accept,
// so the field's own range check refuses it with its message instead of
// storing a value the user did not type. Integers too large to matter come
// back clamped, and fail their range check the same way.
inline constexpr long long kNotANumber = 1000000000000LL;
long long readFormInt(std::string_view text);
// An optional sign, digits and at most one decimal point ("36.25", "-.5").
double readFormDecimal(std::string_view text);
// True when the box holds a number as readFormInt / readFormDecimal read it
// (blank included): the command line refuses anything else for a number box
// before the window's check would.
bool isFormInt(std::string_view text);
bool isFormDecimal(std::string_view text);

std::string formatInt(long long value);
std::string formatFixed2(double value);  // "%.2f"

// The transmit delay the user typed (ms) in the firmware's 6.6 ms steps.
// Whatever is shown for a stored step count reads back as that count: a
// shown 6 ms (one step, 6.6 ms truncated) stays one step rather than
// dropping to zero on every store. Other entries take the whole steps that
// fit (10 ms -> 1, 1683 ms -> 255).
int txDelayStepsFromShownMs(int ms);

// The low-voltage threshold in device units: volts x scale to the nearest
// unit, so that the two-decimal text shown for a stored value reads back as
// that value.
long long lowVoltageUnitsFromVolts(double volts, double scale);

// The low-voltage limit typed in volts as the one byte the chip keeps, or
// nothing when it does not fit 0..255 (a negative entry, or more volts than
// 255 units stand for).
std::optional<std::uint8_t> lowVoltageByte(std::string_view text, double scale);

}  // namespace varnel
