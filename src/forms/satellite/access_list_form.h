#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// The callsigns allowed remote access, without SSIDs. Entries 1 to 3 fill the
// left column top to bottom, 4 to 6 the right one; the ids are those the
// window was first drawn with, hence not in entry order.
namespace access_list_id {
inline constexpr int kEntries[6] = {1380, 1375, 1376, 1377, 1378, 1379};
inline constexpr int entry(int n) { return kEntries[n - 1]; }  // n = 1..6
}  // namespace access_list_id

namespace access_list_message {
inline constexpr const char* kInvalidCallsign = "Access list callsigns take letters and digits only";
}

struct AccessListForm {
    FormControl call1, call2, call3, call4, call5, call6;

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kAccessListControlCount = 6;
extern const std::array<ControlInfo<AccessListForm>, kAccessListControlCount> kAccessListControls;

void showAccessList(const Session& session, AccessListForm& form);
// Each entry takes up to six letters and digits in upper case, NUL-padded (a
// full entry has no terminator); an entry whose text was not edited keeps its
// bytes. Refuses an edited entry with any other character before storing
// anything: 0, or -1 after the message.
int checkAndStoreAccessList(const AccessListForm& form, Session& session, UserInterface& ui);

}  // namespace varnel
