#include "forms/satellite/smart_beacon_form.h"

#include "config/profile_record.h"
#include "config/units.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"

namespace varnel {

namespace id = smart_beacon_id;
namespace msg = smart_beacon_message;
using T = ControlType;
using F = SmartBeaconForm;

const std::array<ControlInfo<SmartBeaconForm>, kSmartBeaconControlCount> kSmartBeaconControls{{
    {id::kLowSpeed, "lowSpeed", T::Edit, &F::lowSpeed, 3, "", "Low speed"},
    {id::kHighSpeed, "highSpeed", T::Edit, &F::highSpeed, 3, "", "High speed"},
    {id::kSlowInterval, "slowInterval", T::Edit, &F::slowInterval, 5, "", "Slow interval"},
    {id::kFastInterval, "fastInterval", T::Edit, &F::fastInterval, 5, "", "Fast interval"},
    {id::kTurnAngle, "turnAngle", T::Edit, &F::turnAngle, 3, "", "Turn angle"},
    {id::kTurnInterval, "turnInterval", T::Edit, &F::turnInterval, 3, "", "Turn interval"},
    {id::kSpeedUnitLabel, "speedUnitLabel", T::Label, &F::speedUnitLabel, 0, ""},
    {id::kSlider, "slider", T::Slider, &F::slider, 0, "", "Turn angle slope"},
    {id::kSliderLabel, "sliderLabel", T::Label, &F::sliderLabel, 0, ""},
}};

FormControl* SmartBeaconForm::control(int controlId) { return controlOf<F>(*this, kSmartBeaconControls, controlId); }
const FormControl* SmartBeaconForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kSmartBeaconControls, controlId);
}

namespace {

// The box shows speeds truncated, so converting the shown number back would
// lower the stored speed a little on every OK (78 units show as 89 km/h,
// and 89 km/h are 77 units). A number equal to what the stored value shows
// keeps that value; any other is converted. A negative speed would wrap
// into a large byte: it is as far out of range as one too high.
long long speedUnits(long long entered, std::uint8_t stored, bool metric) {
    if (entered == speedToDisplay(stored, metric)) return stored;
    if (entered < 0 || entered > 1000) return entered < 0 ? -1 : 1000;  // out of range either way
    return speedFromDisplay(static_cast<int>(entered), metric);
}

}  // namespace

void showSmartBeacon(const Session& session, SmartBeaconForm& form) {
    const ConstProfileRecord p(session.profile(), session.target.kind);
    form.slider.visible = false;
    form.sliderLabel.visible = false;
    form.speedUnitLabel.text = session.metric ? msg::kKmh : msg::kMph;
    form.lowSpeed.text = formatInt(speedToDisplay(p.lowSpeed(), session.metric));
    form.highSpeed.text = formatInt(speedToDisplay(p.highSpeed(), session.metric));
    form.slowInterval.text = formatInt(p.slowInterval());
    form.fastInterval.text = formatInt(p.beaconInterval());
    form.turnAngle.text = formatInt(p.turnAngle());
    form.turnInterval.text = formatInt(p.turnInterval());
}

int checkAndStoreSmartBeacon(const SmartBeaconForm& form, Session& session, UserInterface& ui) {
    const ProfileRecord p(session.profile(), session.target.kind);
    const bool metric = session.metric;
    const auto fail = [&](const char* text) {
        ui.message(text);
        return -1;
    };

    const long long fast = readFormInt(form.fastInterval.text);
    if (fast < 0 || fast > 65535) return fail(msg::kFastInterval);
    p.setBeaconInterval(static_cast<std::uint16_t>(fast));

    const long long slow = readFormInt(form.slowInterval.text);
    if (slow < 0 || slow > 65535) return fail(msg::kSlowInterval);
    p.setSlowInterval(static_cast<std::uint16_t>(slow));

    // Equal shown speeds stay equal: when one of them keeps its stored value,
    // the other (typed to match it) takes that value too, rather than the
    // conversion of the shown number, which may lie a unit below.
    const long long highEntered = readFormInt(form.highSpeed.text);
    const long long lowEntered = readFormInt(form.lowSpeed.text);
    long long high = speedUnits(highEntered, p.highSpeed(), metric);
    long long low = speedUnits(lowEntered, p.lowSpeed(), metric);
    const bool highKept = highEntered == speedToDisplay(p.highSpeed(), metric);
    const bool lowKept = lowEntered == speedToDisplay(p.lowSpeed(), metric);
    if (highEntered == lowEntered && highKept != lowKept) high = low = highKept ? high : low;
    if (high < 0 || high >= 255) return fail(msg::kHighSpeed);
    p.setHighSpeed(static_cast<std::uint8_t>(high));
    if (low < 0 || low >= 255) return fail(msg::kLowSpeed);
    p.setLowSpeed(static_cast<std::uint8_t>(low));

    if (p.highSpeed() < p.lowSpeed()) return fail(msg::kSpeedOrder);

    const long long angle = readFormInt(form.turnAngle.text);
    if (angle < 0 || angle > 180) return fail(msg::kTurnAngle);
    p.setTurnAngle(static_cast<std::uint8_t>(angle));

    const long long turn = readFormInt(form.turnInterval.text);
    if (turn < 0 || turn > 255) return fail(msg::kTurnInterval);
    p.setTurnInterval(static_cast<std::uint8_t>(turn));
    return 0;
}

void smartBeaconControlChanged(SmartBeaconForm& form, int controlId) {
    if (controlId == id::kSlider) form.sliderLabel.text = formatInt(form.slider.position);
}

}  // namespace varnel
