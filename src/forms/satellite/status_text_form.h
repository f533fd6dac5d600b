#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

// The three extra status texts of a JL16 tracker (edits 1280 to 1282), kept
// in its radio block and shared by both profiles.
namespace status_text_id {
inline constexpr int kText1 = 1280;
inline constexpr int text(int n) { return kText1 + n - 1; }  // n = 1..3
}  // namespace status_text_id

struct StatusTextForm {
    FormControl text1, text2, text3;

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kStatusTextControlCount = 3;
extern const std::array<ControlInfo<StatusTextForm>, kStatusTextControlCount> kStatusTextControls;

void showStatusTexts(const Session& session, StatusTextForm& form);
// Each edited slot keeps its first 39 characters and a NUL; a slot whose
// text was not edited keeps its bytes. Never fails.
void storeStatusTexts(const StatusTextForm& form, Session& session);

}  // namespace varnel
