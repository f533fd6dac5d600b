#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnel {

// Numbers as a dialog reads them from an edit box. Surrounding spaces are
// ignored; text that is not a number reads as 0, as the tracker dialogs have
// always done. Integers that do not fit come back clamped far outside every
// range the dialogs accept, so they fail their range check.
long long readFormInt(std::string_view text);
// An optional sign, digits and at most one decimal point ("36.25", "-.5").
double readFormDecimal(std::string_view text);
// True when the text is a number readFormInt / readFormDecimal would read
// (the command line refuses anything else for a number box).
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
std::optional<std::uint8_t> lowVoltageByte(std::string_view volts, double scale);

}  // namespace varnel
