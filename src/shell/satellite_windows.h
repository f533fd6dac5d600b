#pragma once

#include <span>

#include "forms/common/form_control.h"
#include "forms/satellite/access_list_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "forms/satellite/profile_switch_form.h"
#include "forms/satellite/smart_beacon_form.h"
#include "forms/satellite/status_text_form.h"

namespace varnel {

struct Session;
class UserInterface;

// The windows the main tracker dialog opens from its buttons, each described
// once for every front end: its form's controls and their change rule, how
// it shows the session's records (the current profile where a setting is
// per profile), how OK stores them (0 closes the window; otherwise the form
// has said why and the window stays), and which edits take upper case or
// digits only. Cancel stores nothing.
template <class Form>
struct SatelliteWindow {
    std::span<const ControlInfo<Form>> controls;
    void (*changed)(Form&, int);  // nullptr: no control has a rule of its own
    void (*show)(const Session&, Form&);
    int (*store)(const Form&, Session&, UserInterface&);
    std::span<const int> upperCase;
    std::span<const int> digitsOnly;
};

extern const SatelliteWindow<SmartBeaconForm> kSmartBeaconWindow;
extern const SatelliteWindow<FrequencyForm> kFrequencyWindow;
extern const SatelliteWindow<StatusTextForm> kStatusTextWindow;
extern const SatelliteWindow<AccessListForm> kAccessListWindow;
extern const SatelliteWindow<DigipeaterForm> kDigipeaterWindow;
extern const SatelliteWindow<ProfileSwitchForm> kProfileSwitchWindow;

}  // namespace varnel
