#include "forms/satellite/frequency_form.h"

#include <cmath>
#include <cstdio>

#include "config/profile_record.h"
#include "core/bytes.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"

namespace varnel {

namespace id = frequency_id;
using T = ControlType;
using F = FrequencyForm;

// A frequency box takes what it shows: "%3.5f" MHz of a 32-bit Hz value is
// at most ten characters ("4294.96730"). The count takes one digit.
constexpr int kFrequencyChars = 10;

const std::array<ControlInfo<FrequencyForm>, kFrequencyControlCount> kFrequencyControls{{
    {id::channel(1), "channel1", T::Edit, &F::channel1, kFrequencyChars, ""},
    {id::channel(2), "channel2", T::Edit, &F::channel2, kFrequencyChars, ""},
    {id::channel(3), "channel3", T::Edit, &F::channel3, kFrequencyChars, ""},
    {id::channel(4), "channel4", T::Edit, &F::channel4, kFrequencyChars, ""},
    {id::channel(5), "channel5", T::Edit, &F::channel5, kFrequencyChars, ""},
    {id::channel(6), "channel6", T::Edit, &F::channel6, kFrequencyChars, ""},
    {id::channel(7), "channel7", T::Edit, &F::channel7, kFrequencyChars, ""},
    {id::channel(8), "channel8", T::Edit, &F::channel8, kFrequencyChars, ""},
    {id::kPrimaryBase + 0, "primary1", T::Radio, &F::primary1, 0, "", "Primary channel 1"},
    {id::kPrimaryBase + 1, "primary2", T::Radio, &F::primary2, 0, "", "Primary channel 2"},
    {id::kPrimaryBase + 2, "primary3", T::Radio, &F::primary3, 0, "", "Primary channel 3"},
    {id::kPrimaryBase + 3, "primary4", T::Radio, &F::primary4, 0, "", "Primary channel 4"},
    {id::kPrimaryBase + 4, "primary5", T::Radio, &F::primary5, 0, "", "Primary channel 5"},
    {id::kPrimaryBase + 5, "primary6", T::Radio, &F::primary6, 0, "", "Primary channel 6"},
    {id::kPrimaryBase + 6, "primary7", T::Radio, &F::primary7, 0, "", "Primary channel 7"},
    {id::kPrimaryBase + 7, "primary8", T::Radio, &F::primary8, 0, "", "Primary channel 8"},
    {id::kPrimaryBase + 8, "primarySelector", T::Radio, &F::primarySelector, 0, "", "Primary channel selector"},
    {id::kSecondaryBase + 0, "secondary1", T::Radio, &F::secondary1, 0, "", "Secondary channel 1"},
    {id::kSecondaryBase + 1, "secondary2", T::Radio, &F::secondary2, 0, "", "Secondary channel 2"},
    {id::kSecondaryBase + 2, "secondary3", T::Radio, &F::secondary3, 0, "", "Secondary channel 3"},
    {id::kSecondaryBase + 3, "secondary4", T::Radio, &F::secondary4, 0, "", "Secondary channel 4"},
    {id::kSecondaryBase + 4, "secondary5", T::Radio, &F::secondary5, 0, "", "Secondary channel 5"},
    {id::kSecondaryBase + 5, "secondary6", T::Radio, &F::secondary6, 0, "", "Secondary channel 6"},
    {id::kSecondaryBase + 6, "secondary7", T::Radio, &F::secondary7, 0, "", "Secondary channel 7"},
    {id::kSecondaryBase + 7, "secondary8", T::Radio, &F::secondary8, 0, "", "Secondary channel 8"},
    {id::kSecondaryBase + 8, "secondarySelector", T::Radio, &F::secondarySelector, 0, "", "Secondary channel selector"},
    {id::kEvery, "every", T::Edit, &F::every, 1, ""},
}};

FrequencyForm::FrequencyForm() {
    for (int i = 0; i < id::kChoiceCount; ++i) {
        const std::string caption = i == id::kSelectorChoice ? "Selector" : formatInt(i + 1);
        control(id::kPrimaryBase + i)->text = caption;
        control(id::kSecondaryBase + i)->text = caption;
    }
}

FormControl* FrequencyForm::control(int controlId) { return controlOf<F>(*this, kFrequencyControls, controlId); }
const FormControl* FrequencyForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kFrequencyControls, controlId);
}

namespace {

constexpr std::uint32_t kHzPerMHz = 1000000;

std::size_t frequencyOffset(int k) { return radio_layout::kFrequencies + 4 * static_cast<std::size_t>(k - 1); }

// The chosen button of a row of nine, or -1 when none is.
int chosen(const FrequencyForm& form, int base) {
    for (int i = 0; i < id::kChoiceCount; ++i)
        if (form.control(base + i)->checked) return i;
    return -1;
}

}  // namespace

std::string formatMegahertz(std::uint32_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.5f", hz / static_cast<double>(kHzPerMHz));
    return text;
}

void showFrequencies(const Session& session, FrequencyForm& form) {
    for (int k = 1; k <= 8; ++k)
        form.control(id::channel(k))->text = formatMegahertz(getU32BE(&session.radio.bytes[frequencyOffset(k)]));
    const ConstProfileRecord p(session.profile(), session.target.kind);
    const int primary = p.channelSelect() & 0x0F;
    const int secondary = p.channelSelect() >> 4;
    for (int i = 0; i < id::kChoiceCount; ++i) {
        form.control(id::kPrimaryBase + i)->checked = i == primary;
        form.control(id::kSecondaryBase + i)->checked = i == secondary;
    }
    form.every.text = formatInt(p.channelEvery());
}

int checkAndStoreFrequencies(const FrequencyForm& form, Session& session, UserInterface& ui) {
    for (int k = 1; k <= 8; ++k) {
        const std::string& text = form.control(id::channel(k))->text;
        std::uint8_t* stored = &session.radio.bytes[frequencyOffset(k)];
        // Five decimals of MHz are not every Hz the radio block may hold
        // (nor an erased channel's 0xFFFFFFFF): a channel whose text was not
        // edited keeps its bytes.
        if (text == formatMegahertz(getU32BE(stored))) continue;
        // To the nearest Hz: 144.39 x 1000000 is 144389999.99... in binary.
        const double hz = std::round(readFormDecimal(text) * kHzPerMHz);
        if (hz < 0 || hz > 4294967295.0) {
            ui.message(frequency_message::kInvalidFrequency);
            return -1;
        }
        putU32BE(stored, static_cast<std::uint32_t>(hz));
    }
    const ProfileRecord p(session.profile(), session.target.kind);
    // A row with no button chosen (a record holding a choice beyond the
    // selector) keeps its stored choice.
    const int primary = chosen(form, id::kPrimaryBase);
    const int secondary = chosen(form, id::kSecondaryBase);
    p.setChannelSelect(static_cast<std::uint8_t>((primary >= 0 ? primary : p.channelSelect() & 0x0F) |
                                                 (secondary >= 0 ? secondary : p.channelSelect() >> 4) << 4));
    // The firmware takes a single digit here; a count the box cannot show
    // whole (a byte above 9) is kept while its text is not edited.
    if (form.every.text != formatInt(p.channelEvery())) {
        const long long every = readFormInt(form.every.text);
        if (every < 0 || every > 9) {
            ui.message(frequency_message::kInvalidEvery);
            return -1;
        }
        p.setChannelEvery(static_cast<std::uint8_t>(every));
    }
    return 0;
}

}  // namespace varnel
