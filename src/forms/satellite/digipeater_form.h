#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// Control ids of the digipeater window: one row per alias (the ids the
// layout was first drawn with, so not in a regular order), then the
// duplicate-check time and the switch.
namespace digipeater_id {
struct Row {
    int alias, hops, preempt, insertCallsign, enabled;
};
inline constexpr Row kRows[8] = {
    {1150, 1153, 1154, 1155, 1179}, {1151, 1156, 1157, 1158, 1180}, {1152, 1159, 1160, 1161, 1181},
    {1162, 1163, 1164, 1165, 1182}, {1166, 1167, 1168, 1169, 1183}, {1170, 1171, 1172, 1173, 1184},
    {1174, 1175, 1176, 1177, 1188}, {1178, 1185, 1186, 1187, 1189},
};
inline constexpr int kDupeTime = 1190;
inline constexpr int kDigipeating = 1191;
}  // namespace digipeater_id

namespace digipeater_message {
inline constexpr const char* kInvalidAlias = "Invalid alias";
inline constexpr const char* kDupeTime = "Duplicate check time must be in the range of 0 to 255";
inline constexpr const char* kHops = "Maximum hops must be in the range of 0 to 9";
}  // namespace digipeater_message

// The eight aliases with their hop limits and options are shared by both
// profiles; which aliases are enabled, the switch and the duplicate-check
// time belong to the current profile.
struct DigipeaterForm {
    FormControl alias1, hops1, preempt1, insertCallsign1, enabled1;
    FormControl alias2, hops2, preempt2, insertCallsign2, enabled2;
    FormControl alias3, hops3, preempt3, insertCallsign3, enabled3;
    FormControl alias4, hops4, preempt4, insertCallsign4, enabled4;
    FormControl alias5, hops5, preempt5, insertCallsign5, enabled5;
    FormControl alias6, hops6, preempt6, insertCallsign6, enabled6;
    FormControl alias7, hops7, preempt7, insertCallsign7, enabled7;
    FormControl alias8, hops8, preempt8, insertCallsign8, enabled8;
    FormControl dupeTime;     // 1190: seconds
    FormControl digipeating;  // 1191

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kDigipeaterControlCount = 42;
extern const std::array<ControlInfo<DigipeaterForm>, kDigipeaterControlCount> kDigipeaterControls;

void showDigipeater(const Session& session, DigipeaterForm& form);

// Checks every field first (an edited alias the AX.25 encoder refuses, the
// duplicate-check time, the hop counts), then stores them all with the
// flags; an alias whose text was not edited keeps its bytes. 0, or -1 after
// the message with nothing stored.
int checkAndStoreDigipeater(const DigipeaterForm& form, Session& session, UserInterface& ui);

}  // namespace varnel
