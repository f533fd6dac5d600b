#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/tracker_form.h"

namespace varnel {

// How a command-line key reads and writes the control it stands for.
enum class KeyType {
    Text,        // an edit box, any characters up to its typing limit
    Integer,     // an edit box the dialog reads as a whole number
    Decimal,     // an edit box the dialog reads as a decimal number
    Check,       // a check box: 0 or 1
    Choice,      // a pair of radio buttons: one word for each
    Hemisphere,  // the N/S or E/W button: one letter for each state
    List,        // a list: the shown text of a row
    Slider,      // the audio level slider: 0 to 255
};

// One key of `varnelcfg-cli show` / `set`. For a Choice, `id` is the first
// radio button (word `first`) and `altId` the second (word `second`); for a
// Hemisphere, `first` is the letter for north/east, `second` for south/west.
struct TrackerKey {
    std::string_view key;
    KeyType type;
    int id;
    int altId = 0;
    std::string_view first = {};
    std::string_view second = {};
};

inline constexpr std::size_t kTrackerKeyCount = 65;
extern const std::array<TrackerKey, kTrackerKeyCount> kTrackerKeys;

const TrackerKey* findTrackerKey(std::string_view key);

// True when the key's control is on the dialog for this form's chip and
// firmware (hidden controls are neither printed nor set).
bool trackerKeyAvailable(const TrackerForm& form, const TrackerKey& key);

// The value the key's control shows, in the words `set` accepts.
std::string trackerKeyValue(const TrackerForm& form, const TrackerKey& key);

// The device fields `show` prints first (not settable), then every available
// key with its value, in table order.
std::vector<std::pair<std::string, std::string>> trackerKeyValues(const TrackerForm& form,
                                                                  const Session& session);

// Applies one value as if the user had typed it or clicked it, with the
// dialog's follow-up rules. Empty on success, else why it was refused (the
// form is then unchanged).
std::string applyTrackerKey(TrackerForm& form, std::string_view key, std::string_view value);

}  // namespace varnel
