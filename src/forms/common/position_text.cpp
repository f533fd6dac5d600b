#include "forms/common/position_text.h"

#include "config/units.h"
#include "forms/common/form_numbers.h"

namespace varnel {

namespace {

// `width` decimal digits of a non-negative value at `at`.
void putDigits(std::string& out, std::size_t at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[at + i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

}  // namespace

CoordinateStore putCoordinate(std::string& text, int degreeDigits, int maxDegrees, std::string_view degrees,
                              std::string_view minutes, char hemisphere) {
    const std::size_t width = static_cast<std::size_t>(degreeDigits) + 6;
    if (text.size() < width) text.resize(width, '0');

    // The boxes still show what the record holds: it stays byte for byte,
    // whatever characters it has (a letter other than N or E shows, and
    // would be stored, as S or W).
    const std::size_t dd = static_cast<std::size_t>(degreeDigits);
    const char north = degreeDigits == 2 ? 'N' : 'E';  // the latitude has two degree digits
    if (degrees == std::string_view(text).substr(0, dd) && minutes == std::string_view(text).substr(dd, 5) &&
        (hemisphere == north) == (text[dd + 5] == north))
        return CoordinateStore::Stored;

    const long long d = readFormInt(degrees);
    if (d < 0 || d > maxDegrees) return CoordinateStore::BadDegrees;
    putDigits(text, 0, static_cast<int>(d), degreeDigits);

    const double m = readFormDecimal(minutes);
    if (m < 0.0 || m > 60.0) return CoordinateStore::BadMinutes;
    // truncInt forgives the binary rounding of the decimal the user typed:
    // 0.29 x 100 is 28.999... in a double and must still give "29".
    const std::size_t at = static_cast<std::size_t>(degreeDigits);
    putDigits(text, at, truncInt(m), 2);
    text[at + 2] = '.';
    putDigits(text, at + 3, truncInt(m * 100.0) % 100, 2);
    text[at + 5] = hemisphere;
    return CoordinateStore::Stored;
}

void toggleHemisphere(bool& second, FormControl& button, const char* firstLetter, const char* secondLetter) {
    second = !second;
    button.text = second ? secondLetter : firstLetter;
}

}  // namespace varnel
