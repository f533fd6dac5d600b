#include "forms/satellite/profile_switch_form.h"

#include "config/profile_record.h"
#include "config/units.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"
#include "forms/tracker/tracker_messages.h"

namespace varnel {

namespace id = profile_switch_id;
namespace msg = profile_switch_message;
using T = ControlType;
using F = ProfileSwitchForm;

// One control a line, as the window lists them.
// clang-format off
const std::array<ControlInfo<ProfileSwitchForm>, kProfileSwitchControlCount> kProfileSwitchControls{{
    {id::kLeft.any, "leftAny", T::Radio, &F::leftAny, 0, "", "Profile 1 any condition"},
    {id::kLeft.all, "leftAll", T::Radio, &F::leftAll, 0, "", "Profile 1 all conditions"},
    {id::kLeft.altitudeEnabled, "leftAltitudeEnabled", T::Check, &F::leftAltitudeEnabled, 0, "", "Profile 1 altitude"},
    {id::kLeft.altitudeCompare, "leftAltitudeCompare", T::Button, &F::leftAltitudeCompare, 0, "", "Profile 1 altitude comparison"},
    {id::kLeft.altitude, "leftAltitude", T::Edit, &F::leftAltitude, 6, "", "Profile 1 altitude limit"},
    {id::kLeft.altitudeUnit, "leftAltitudeUnit", T::Label, &F::leftAltitudeUnit, 0, ""},
    {id::kLeft.speedEnabled, "leftSpeedEnabled", T::Check, &F::leftSpeedEnabled, 0, "", "Profile 1 speed"},
    {id::kLeft.speedCompare, "leftSpeedCompare", T::Button, &F::leftSpeedCompare, 0, "", "Profile 1 speed comparison"},
    {id::kLeft.speed, "leftSpeed", T::Edit, &F::leftSpeed, 3, "", "Profile 1 speed limit"},
    {id::kLeft.speedUnit, "leftSpeedUnit", T::Label, &F::leftSpeedUnit, 0, ""},
    {id::kLeft.temperatureEnabled, "leftTemperatureEnabled", T::Check, &F::leftTemperatureEnabled, 0, "", "Profile 1 temperature"},
    {id::kLeft.temperatureCompare, "leftTemperatureCompare", T::Button, &F::leftTemperatureCompare, 0, "", "Profile 1 temperature comparison"},
    {id::kLeft.temperature, "leftTemperature", T::Edit, &F::leftTemperature, 3, "", "Profile 1 temperature limit"},
    {id::kLeft.temperatureUnit, "leftTemperatureUnit", T::Label, &F::leftTemperatureUnit, 0, ""},
    {id::kLeft.voltageEnabled, "leftVoltageEnabled", T::Check, &F::leftVoltageEnabled, 0, "", "Profile 1 voltage"},
    {id::kLeft.voltageCompare, "leftVoltageCompare", T::Button, &F::leftVoltageCompare, 0, "", "Profile 1 voltage comparison"},
    {id::kLeft.voltage, "leftVoltage", T::Edit, &F::leftVoltage, 5, "", "Profile 1 voltage limit"},
    {id::kLeft.adcEnabled, "leftAdcEnabled", T::Check, &F::leftAdcEnabled, 0, "", "Profile 1 ADC input"},
    {id::kLeft.adcCompare, "leftAdcCompare", T::Button, &F::leftAdcCompare, 0, "", "Profile 1 ADC comparison"},
    {id::kLeft.adc, "leftAdc", T::Edit, &F::leftAdc, 3, "", "Profile 1 ADC limit"},
    {id::kLeft.jumperEnabled, "leftJumperEnabled", T::Check, &F::leftJumperEnabled, 0, "", "Profile 1 jumper"},
    {id::kLeft.jumperOn, "leftJumperOn", T::Radio, &F::leftJumperOn, 0, "", "Profile 1 jumper on"},
    {id::kLeft.jumperOff, "leftJumperOff", T::Radio, &F::leftJumperOff, 0, "", "Profile 1 jumper off"},
    {id::kLeft.gpsFixEnabled, "leftGpsFixEnabled", T::Check, &F::leftGpsFixEnabled, 0, "", "Profile 1 GPS fix"},
    {id::kLeft.gpsFixValid, "leftGpsFixValid", T::Radio, &F::leftGpsFixValid, 0, "", "Profile 1 GPS fix valid"},
    {id::kLeft.gpsFixInvalid, "leftGpsFixInvalid", T::Radio, &F::leftGpsFixInvalid, 0, "", "Profile 1 GPS fix invalid"},
    {id::kLeft.transmitOnSwitch, "leftTransmitOnSwitch", T::Check, &F::leftTransmitOnSwitch, 0, "", "Profile 1 transmit when switching"},
    {id::kRight.any, "rightAny", T::Radio, &F::rightAny, 0, "", "Profile 2 any condition"},
    {id::kRight.all, "rightAll", T::Radio, &F::rightAll, 0, "", "Profile 2 all conditions"},
    {id::kRight.altitudeEnabled, "rightAltitudeEnabled", T::Check, &F::rightAltitudeEnabled, 0, "", "Profile 2 altitude"},
    {id::kRight.altitudeCompare, "rightAltitudeCompare", T::Button, &F::rightAltitudeCompare, 0, "", "Profile 2 altitude comparison"},
    {id::kRight.altitude, "rightAltitude", T::Edit, &F::rightAltitude, 6, "", "Profile 2 altitude limit"},
    {id::kRight.altitudeUnit, "rightAltitudeUnit", T::Label, &F::rightAltitudeUnit, 0, ""},
    {id::kRight.speedEnabled, "rightSpeedEnabled", T::Check, &F::rightSpeedEnabled, 0, "", "Profile 2 speed"},
    {id::kRight.speedCompare, "rightSpeedCompare", T::Button, &F::rightSpeedCompare, 0, "", "Profile 2 speed comparison"},
    {id::kRight.speed, "rightSpeed", T::Edit, &F::rightSpeed, 3, "", "Profile 2 speed limit"},
    {id::kRight.speedUnit, "rightSpeedUnit", T::Label, &F::rightSpeedUnit, 0, ""},
    {id::kRight.temperatureEnabled, "rightTemperatureEnabled", T::Check, &F::rightTemperatureEnabled, 0, "", "Profile 2 temperature"},
    {id::kRight.temperatureCompare, "rightTemperatureCompare", T::Button, &F::rightTemperatureCompare, 0, "", "Profile 2 temperature comparison"},
    {id::kRight.temperature, "rightTemperature", T::Edit, &F::rightTemperature, 3, "", "Profile 2 temperature limit"},
    {id::kRight.temperatureUnit, "rightTemperatureUnit", T::Label, &F::rightTemperatureUnit, 0, ""},
    {id::kRight.voltageEnabled, "rightVoltageEnabled", T::Check, &F::rightVoltageEnabled, 0, "", "Profile 2 voltage"},
    {id::kRight.voltageCompare, "rightVoltageCompare", T::Button, &F::rightVoltageCompare, 0, "", "Profile 2 voltage comparison"},
    {id::kRight.voltage, "rightVoltage", T::Edit, &F::rightVoltage, 5, "", "Profile 2 voltage limit"},
    {id::kRight.adcEnabled, "rightAdcEnabled", T::Check, &F::rightAdcEnabled, 0, "", "Profile 2 ADC input"},
    {id::kRight.adcCompare, "rightAdcCompare", T::Button, &F::rightAdcCompare, 0, "", "Profile 2 ADC comparison"},
    {id::kRight.adc, "rightAdc", T::Edit, &F::rightAdc, 3, "", "Profile 2 ADC limit"},
    {id::kRight.jumperEnabled, "rightJumperEnabled", T::Check, &F::rightJumperEnabled, 0, "", "Profile 2 jumper"},
    {id::kRight.jumperOn, "rightJumperOn", T::Radio, &F::rightJumperOn, 0, "", "Profile 2 jumper on"},
    {id::kRight.jumperOff, "rightJumperOff", T::Radio, &F::rightJumperOff, 0, "", "Profile 2 jumper off"},
    {id::kRight.gpsFixEnabled, "rightGpsFixEnabled", T::Check, &F::rightGpsFixEnabled, 0, "", "Profile 2 GPS fix"},
    {id::kRight.gpsFixValid, "rightGpsFixValid", T::Radio, &F::rightGpsFixValid, 0, "", "Profile 2 GPS fix valid"},
    {id::kRight.gpsFixInvalid, "rightGpsFixInvalid", T::Radio, &F::rightGpsFixInvalid, 0, "", "Profile 2 GPS fix invalid"},
    {id::kRight.transmitOnSwitch, "rightTransmitOnSwitch", T::Check, &F::rightTransmitOnSwitch, 0, "", "Profile 2 transmit when switching"},
}};
// clang-format on

FormControl* ProfileSwitchForm::control(int controlId) {
    return controlOf<F>(*this, kProfileSwitchControls, controlId);
}
const FormControl* ProfileSwitchForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kProfileSwitchControls, controlId);
}

namespace {

// Bits of the enable and comparison bytes. In the comparison byte the jumper
// bit is the wanted state (on), the GPS bit the wanted fix (valid), and each
// measured condition's bit means "<=" rather than ">".
constexpr std::uint8_t kJumper = 0x01;
constexpr std::uint8_t kTemperature = 0x02;
constexpr std::uint8_t kVoltage = 0x04;
constexpr std::uint8_t kAdc = 0x08;
constexpr std::uint8_t kAltitude = 0x10;
constexpr std::uint8_t kSpeed = 0x20;
constexpr std::uint8_t kGpsFix = 0x40;
constexpr std::uint8_t kUnusedBit = 0x80;

// The highest altitude threshold the tracker takes, in device units (about
// 157744 m).
constexpr double kMaxAltitudeUnits = 0xFFF5;

// A measured condition: its enable box, comparison button and bit.
struct Measured {
    int enabled, compare;
    std::uint8_t bit;
};
std::array<Measured, 5> measured(const id::Side& s) {
    return {{{s.altitudeEnabled, s.altitudeCompare, kAltitude},
             {s.speedEnabled, s.speedCompare, kSpeed},
             {s.temperatureEnabled, s.temperatureCompare, kTemperature},
             {s.voltageEnabled, s.voltageCompare, kVoltage},
             {s.adcEnabled, s.adcCompare, kAdc}}};
}

void showSide(const Session& session, int profile, ProfileSwitchForm& form) {
    const id::Side& s = id::side(profile);
    const ConstProfileRecord p(session.settings.profile(profile), session.target.kind);
    const bool metric = session.metric;
    auto c = [&](int controlId) { return form.control(controlId); };

    const bool all = p.flag(profile_layout::kOptionFlags, profile_layout::kOptionSwitchAll);
    c(s.any)->checked = !all;
    c(s.all)->checked = all;
    for (const Measured& m : measured(s)) {
        c(m.enabled)->checked = (p.switchEnable() & m.bit) != 0;
        c(m.compare)->text = (p.switchCompare() & m.bit) != 0 ? msg::kAtMost : msg::kAbove;
    }
    c(s.jumperEnabled)->checked = (p.switchEnable() & kJumper) != 0;
    c(s.jumperOn)->checked = (p.switchCompare() & kJumper) != 0;
    c(s.jumperOff)->checked = !c(s.jumperOn)->checked;
    c(s.gpsFixEnabled)->checked = (p.switchEnable() & kGpsFix) != 0;
    c(s.gpsFixValid)->checked = (p.switchCompare() & kGpsFix) != 0;
    c(s.gpsFixInvalid)->checked = !c(s.gpsFixValid)->checked;

    c(s.altitude)->text = formatInt(switchAltitudeToDisplay(p.switchAltitude(), metric));
    c(s.speed)->text = formatInt(switchSpeedToDisplay(p.switchSpeed(), metric));
    // Each side's temperature is corrected by its own profile's calibration,
    // in both units: the tracker compares each profile's threshold with its
    // own corrected reading.
    c(s.temperature)->text = formatInt(switchTemperatureToDisplay(p.switchTemperature(), p.tempOffset(), metric));
    c(s.voltage)->text = formatLowVoltage(p.switchVoltage(), lowVoltageScale(session.target.kind));
    c(s.adc)->text = formatInt(p.switchAdc());

    c(s.altitudeUnit)->text = metric ? "Meters" : "Feet";
    c(s.speedUnit)->text = metric ? "Km/h" : "MPH";
    c(s.temperatureUnit)->text = metric ? tracker_message::kDegreesC : tracker_message::kDegreesF;
    c(s.transmitOnSwitch)->checked = p.flag(profile_layout::kOptionFlags, profile_layout::kOptionSwitchTransmit);
}

// A byte-wide threshold: refused, not wrapped, when it does not fit.
bool fitsByte(long long v) { return v >= 0 && v <= 255; }

int storeSide(const ProfileSwitchForm& form, int profile, Session& session, UserInterface& ui) {
    const id::Side& s = id::side(profile);
    const ProfileRecord p(session.settings.profile(profile), session.target.kind);
    const bool metric = session.metric;
    auto c = [&](int controlId) { return form.control(controlId); };
    const auto fail = [&](const char* text) {
        ui.message(text);
        return -1;
    };

    p.setFlag(profile_layout::kOptionFlags, profile_layout::kOptionSwitchAll, c(s.all)->checked);

    // Bit 7 of both bytes is no condition of this window's: it is kept.
    std::uint8_t enable = p.switchEnable() & kUnusedBit;
    std::uint8_t compare = p.switchCompare() & kUnusedBit;
    for (const Measured& m : measured(s)) {
        if (c(m.enabled)->checked) enable |= m.bit;
        if (c(m.compare)->text.size() == 2) compare |= m.bit;  // "<="
    }
    if (c(s.jumperEnabled)->checked) enable |= kJumper;
    if (c(s.gpsFixEnabled)->checked) enable |= kGpsFix;
    if (c(s.jumperOn)->checked) compare |= kJumper;
    if (c(s.gpsFixValid)->checked) compare |= kGpsFix;
    p.setSwitchEnable(enable);
    p.setSwitchCompare(compare);

    const double altitude = switchAltitudeUnits(readFormInt(c(s.altitude)->text), metric);
    if (altitude < 0 || altitude > kMaxAltitudeUnits) return fail(msg::kAltitude);
    p.setSwitchAltitude(static_cast<std::uint16_t>(nearestInt(altitude)));

    // In MPH the shown speed is coarser than the stored one; a number equal
    // to what is shown keeps the stored value rather than drifting on OK.
    const long long enteredSpeed = readFormInt(c(s.speed)->text);
    const long long speed = enteredSpeed == switchSpeedToDisplay(p.switchSpeed(), metric)
                                ? p.switchSpeed()
                                : switchSpeedFromDisplay(enteredSpeed, metric);
    if (!fitsByte(speed)) return fail(msg::kSpeed);
    p.setSwitchSpeed(static_cast<std::uint8_t>(speed));

    const long long degrees = readFormInt(c(s.temperature)->text);
    if (degrees < -100000 || degrees > 100000) return fail(msg::kTemperature);  // and not a number
    const long long temperature = switchTemperatureFromDisplay(degrees, p.tempOffset(), metric);
    if (!fitsByte(temperature)) return fail(msg::kTemperature);
    p.setSwitchTemperature(static_cast<std::uint8_t>(temperature));

    const auto voltage = lowVoltageByte(c(s.voltage)->text, lowVoltageScale(session.target.kind));
    if (!voltage) return fail(msg::kVoltage);
    p.setSwitchVoltage(*voltage);

    const long long adc = readFormInt(c(s.adc)->text);
    if (!fitsByte(adc)) return fail(msg::kAdc);
    p.setSwitchAdc(static_cast<std::uint8_t>(adc));
    return 0;
}

}  // namespace

void showProfileSwitch(const Session& session, ProfileSwitchForm& form) {
    showSide(session, 0, form);
    showSide(session, 1, form);
}

int checkAndStoreProfileSwitch(const ProfileSwitchForm& form, Session& session, UserInterface& ui) {
    for (int profile = 0; profile < 2; ++profile)
        if (storeSide(form, profile, session, ui) != 0) return -1;
    for (int profile = 0; profile < 2; ++profile)
        ProfileRecord(session.settings.profile(profile), session.target.kind)
            .setFlag(profile_layout::kOptionFlags, profile_layout::kOptionSwitchTransmit,
                     form.control(id::side(profile).transmitOnSwitch)->checked);
    return 0;
}

void profileSwitchControlChanged(ProfileSwitchForm& form, int controlId) {
    for (int profile = 0; profile < 2; ++profile)
        for (const Measured& m : measured(id::side(profile)))
            if (m.compare == controlId) {
                FormControl& button = *form.control(controlId);
                button.text = button.text == msg::kAtMost ? msg::kAbove : msg::kAtMost;
            }
}

}  // namespace varnel
