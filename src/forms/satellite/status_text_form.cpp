#include "forms/satellite/status_text_form.h"

#include <cstring>

namespace varnel {

using T = ControlType;
using F = StatusTextForm;

// The edits let the user type 40 characters, one more than a slot keeps
// beside its NUL; the firmware has always read the slots that way.
const std::array<ControlInfo<StatusTextForm>, kStatusTextControlCount> kStatusTextControls{{
    {status_text_id::text(1), "text1", T::Edit, &F::text1, 40, ""},
    {status_text_id::text(2), "text2", T::Edit, &F::text2, 40, ""},
    {status_text_id::text(3), "text3", T::Edit, &F::text3, 40, ""},
}};

FormControl* StatusTextForm::control(int controlId) { return controlOf<F>(*this, kStatusTextControls, controlId); }
const FormControl* StatusTextForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kStatusTextControls, controlId);
}

namespace {
std::size_t slotOffset(int n) { return radio_layout::kStatusTexts + radio_layout::kStatusTextSize * (n - 1); }
}  // namespace

void showStatusTexts(const Session& session, StatusTextForm& form) {
    for (int n = 1; n <= 3; ++n) {
        const char* slot = reinterpret_cast<const char*>(&session.radio.bytes[slotOffset(n)]);
        form.control(status_text_id::text(n))->text = std::string(slot, strnlen(slot, radio_layout::kStatusTextSize));
    }
}

void storeStatusTexts(const StatusTextForm& form, Session& session) {
    for (int n = 1; n <= 3; ++n) {
        const std::string& text = form.control(status_text_id::text(n))->text;
        const std::size_t length = std::min(text.size(), radio_layout::kStatusTextSize - 1);
        std::uint8_t* slot = &session.radio.bytes[slotOffset(n)];
        std::memcpy(slot, text.data(), length);
        slot[length] = 0;
    }
}

}  // namespace varnel
