#pragma once

#include <string>
#include <string_view>

#include "forms/common/form_control.h"

namespace varnel {

// A fixed position as the firmware keeps it: "DDMM.mmN" for the latitude and
// "DDDMM.mmE" for the longitude, degrees, whole minutes, a point, hundredths
// of a minute and the hemisphere letter.
enum class CoordinateStore { Stored, BadDegrees, BadMinutes };

// Writes what the user typed into `text` part by part: the degrees (0 to
// maxDegrees, degreeDigits wide), then the minutes (0 to 60, truncated to
// hundredths: 12.345 -> "12.34", 0.29 -> "00.29"), then the hemisphere.
// Stops at the first part out of range; the parts before it are already in
// `text`, so the caller stores it either way and then reports the failure.
// Boxes that still show what `text` holds leave it as it is.
CoordinateStore putCoordinate(std::string& text, int degreeDigits, int maxDegrees, std::string_view degrees,
                              std::string_view minutes, char hemisphere);

// One click on a hemisphere button: the hemisphere flips (south or west when
// `second` is set) and the button shows its letter.
void toggleHemisphere(bool& second, FormControl& button, const char* firstLetter, const char* secondLetter);

}  // namespace varnel
