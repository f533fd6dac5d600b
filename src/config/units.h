#pragma once

#include <cstdint>
#include <string>

#include "config/device_target.h"

namespace varnel {

// Conversions between what the tracker stores and what the user reads and
// types. Everything that scales, rounds or truncates a setting lives here so
// that the dialogs and the command line convert the same way.
//
// The constants are decimal fractions (6.6 ms, 1.609 km per mile, ...), so the
// conversions of whole numbers are done in exact integer arithmetic: a double
// would give 1683 / 6.6 as 254.99999... on some platforms and store 254.

// The tracker's rounding rule: a fraction above one half goes up, exactly one
// half goes down (2.5 -> 2, 2.51 -> 3). Negative values are rounded by their
// magnitude and keep their sign (-2.5 -> -2, -2.51 -> -3), so converting -x
// always gives the negative of converting x.
// Values within a rounding error of a whole number or a half are taken as
// that number, so an input that is mathematically exact stays exact.
int nearestInt(double value);
// Truncation toward zero, with the same tolerance for rounding errors.
int truncInt(double value);
// nearestInt(numerator / denominator) computed exactly; denominator > 0.
long long nearestRatio(long long numerator, long long denominator);

// Transmit delay: the firmware counts 6.6 ms steps.
int txDelayToMs(std::uint8_t raw);  // trunc(raw x 6.6): 255 -> 1683
int txDelayFromMs(int ms);          // trunc(ms / 6.6): 1683 -> 255, 10 -> 1

// SmartBeaconing speeds are in device units: 1 km/h = 0.86806 units,
// 1 MPH = 1.397 units. Display truncates; entries go to the nearest unit.
int speedToDisplay(std::uint8_t raw, bool metric);
int speedFromDisplay(int value, bool metric);

// The supply-voltage threshold in device units per volt: 17.0 on KX8,
// 13.783 on JL16/AW32, 12.75 on the others.
double lowVoltageScale(TargetKind kind);
// "%.2f" of raw / scale: 170 on KX8 reads "10.00".
std::string formatLowVoltage(std::uint8_t raw, double scale);
// trunc(volts x scale). The result is not limited: anything above 255 does
// not fit the byte and is for the caller to refuse or clamp.
int lowVoltageToRaw(double volts, double scale);

// The waypoint range is stored in statute miles.
int rangeToDisplay(std::uint8_t miles, bool metric);  // metric: nearest(miles x 1.609)
int rangeFromDisplay(int value, bool metric);         // metric: nearest(km / 1.609)

// The temperature calibration is a difference in degrees Celsius, so the
// Fahrenheit form scales it by 1.8 without the 32 offset.
int tempOffsetToDisplay(std::int8_t celsius, bool metric);  // imperial: trunc(x 1.8)
int tempOffsetFromDisplay(int value, bool metric);          // imperial: nearest(value / 1.8)

// Family 2 transmitters: carrier = multiplier x 31.25 Hz, programmed into the
// tone generator as trunc(multiplier x 31.25 / 0.439453125).
double carrierFrequencyHz(int multiplier);
std::uint16_t carrierWordFor(int multiplier);

// Profile-switching thresholds. The firmware compares raw readings: the
// altitude in 2.56 m steps from -10000 m, the speed in the SmartBeaconing
// units, the temperature in 1.9608 degree steps from -273 degrees C less the
// sensor calibration. Shown values go to the nearest integer, except feet,
// which are cut toward zero; entries go to the nearest raw unit and are not
// limited here (the caller refuses what does not fit its field).
int switchAltitudeToDisplay(std::uint16_t raw, bool metric);
// The entered altitude in device units before rounding: the range check is
// made on it, so that 157745 m (65525.39 units) is refused like -10001 m.
double switchAltitudeUnits(long long value, bool metric);
int switchSpeedToDisplay(std::uint8_t raw, bool metric);
long long switchSpeedFromDisplay(long long value, bool metric);
int switchTemperatureToDisplay(std::uint8_t raw, int tempOffset, bool metric);
long long switchTemperatureFromDisplay(long long value, int tempOffset, bool metric);

}  // namespace varnel
