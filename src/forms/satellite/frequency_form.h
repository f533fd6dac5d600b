#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// Control ids of the frequency window. Channel k (1 to 8) is edit 1250 + k;
// the primary and secondary rows hold a button per channel and a ninth for
// the external channel selector.
namespace frequency_id {
inline constexpr int kChannelBase = 1250;    // + 1..8
inline constexpr int kPrimaryBase = 1259;    // + 0..8 (8: "Selector")
inline constexpr int kSecondaryBase = 1268;  // + 0..8
inline constexpr int kChoiceCount = 9;
inline constexpr int kSelectorChoice = 8;
inline constexpr int kEvery = 1277;
inline constexpr int channel(int k) { return kChannelBase + k; }
}  // namespace frequency_id

namespace frequency_message {
inline constexpr const char* kInvalidFrequency = "Invalid frequency";
inline constexpr const char* kInvalidEvery = "Use secondary every must be in the range of 0 to 9";
}  // namespace frequency_message

// The eight transmit frequencies (shared by both profiles, kept with the
// JL16 radio block) and, for the current profile, which channel is primary,
// which secondary, and how often the secondary is used.
struct FrequencyForm {
    FrequencyForm();  // the row buttons' captions: "1" to "8" and "Selector"

    FormControl channel1, channel2, channel3, channel4, channel5, channel6, channel7, channel8;
    FormControl primary1, primary2, primary3, primary4, primary5, primary6, primary7, primary8, primarySelector;
    FormControl secondary1, secondary2, secondary3, secondary4, secondary5, secondary6, secondary7, secondary8,
        secondarySelector;
    FormControl every;  // 1277: use the secondary channel every n transmissions

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kFrequencyControlCount = 27;
extern const std::array<ControlInfo<FrequencyForm>, kFrequencyControlCount> kFrequencyControls;

// "%3.5f" MHz of a frequency in Hz (145500000 -> "145.50000").
std::string formatMegahertz(std::uint32_t hz);

void showFrequencies(const Session& session, FrequencyForm& form);

// Stores the channels in order, then the channel choice and the count; a box
// whose text was not edited keeps its stored value. Stops at a frequency
// that does not fit the tracker's 32-bit Hz field or a count that is not one
// digit. 0, or -1 after the message.
int checkAndStoreFrequencies(const FrequencyForm& form, Session& session, UserInterface& ui);

}  // namespace varnel
