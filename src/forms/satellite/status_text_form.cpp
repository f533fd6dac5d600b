#include "forms/satellite/status_text_form.h"

#include <cstring>

namespace varnel {

using T = ControlType;
using F = StatusTextForm;

// Each slot keeps 39 characters and a NUL, so the edits take 39.
constexpr int kTextChars = static_cast<int>(radio_layout::kStatusTextSize) - 1;

const std::array<ControlInfo<StatusTextForm>, kStatusTextControlCount> kStatusTextControls{{
    {status_text_id::text(1), "text1", T::Edit, &F::text1, kTextChars, ""},
    {status_text_id::text(2), "text2", T::Edit, &F::text2, kTextChars, ""},
    {status_text_id::text(3), "text3", T::Edit, &F::text3, kTextChars, ""},
}};

FormControl* StatusTextForm::control(int controlId) { return controlOf<F>(*this, kStatusTextControls, controlId); }
const FormControl* StatusTextForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kStatusTextControls, controlId);
}

namespace {

std::size_t slotOffset(int n) { return radio_layout::kStatusTexts + radio_layout::kStatusTextSize * (n - 1); }

// The slot up to its NUL; a slot with none (never written, or damaged)
// shows all 40 bytes.
std::string slotText(const RadioBlock& radio, int n) {
    const char* slot = reinterpret_cast<const char*>(&radio.bytes[slotOffset(n)]);
    return std::string(slot, strnlen(slot, radio_layout::kStatusTextSize));
}

}  // namespace

void showStatusTexts(const Session& session, StatusTextForm& form) {
    for (int n = 1; n <= 3; ++n) form.control(status_text_id::text(n))->text = slotText(session.radio, n);
}

void storeStatusTexts(const StatusTextForm& form, Session& session) {
    for (int n = 1; n <= 3; ++n) {
        const std::string& text = form.control(status_text_id::text(n))->text;
        if (text == slotText(session.radio, n)) continue;  // not edited: the slot keeps its bytes
        const std::size_t length = std::min(text.size(), radio_layout::kStatusTextSize - 1);
        std::uint8_t* slot = &session.radio.bytes[slotOffset(n)];
        std::memcpy(slot, text.data(), length);
        slot[length] = 0;
    }
}

}  // namespace varnel
