#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/common/form_keys.h"
#include "forms/tracker/tracker_form.h"

namespace varnel {

// One key of the main dialog's profile settings (see FormKey).
using TrackerKey = FormKey;

inline constexpr std::size_t kTrackerKeyCount = 65;
extern const std::array<TrackerKey, kTrackerKeyCount> kTrackerKeys;

const TrackerKey* findTrackerKey(std::string_view key);

// True when the key's control is on the dialog for this form's chip and
// firmware (hidden controls are neither printed nor set).
bool trackerKeyAvailable(const TrackerForm& form, const TrackerKey& key);

// The value the key's control shows, in the words `set` accepts.
std::string trackerKeyValue(const TrackerForm& form, const TrackerKey& key);

// The device fields `show` prints first (not settable), then every available
// key with its value, in table order, then the keys of the windows the
// dialog offers (satellite_keys.h).
std::vector<std::pair<std::string, std::string>> trackerKeyValues(const TrackerForm& form, const Session& session);

// Applies one value as if the user had typed it or clicked it, with the
// dialog's follow-up rules. Empty on success, else why it was refused (the
// form is then unchanged).
std::string applyTrackerKey(TrackerForm& form, std::string_view name, std::string_view value);

}  // namespace varnel
