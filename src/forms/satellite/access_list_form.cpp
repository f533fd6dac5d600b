#include "forms/satellite/access_list_form.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/user_interface.h"

namespace varnel {

using T = ControlType;
using F = AccessListForm;
using access_list_id::entry;

const std::array<ControlInfo<AccessListForm>, kAccessListControlCount> kAccessListControls{{
    {entry(1), "call1", T::Edit, &F::call1, 6, "", "Callsign 1"},
    {entry(2), "call2", T::Edit, &F::call2, 6, "", "Callsign 2"},
    {entry(3), "call3", T::Edit, &F::call3, 6, "", "Callsign 3"},
    {entry(4), "call4", T::Edit, &F::call4, 6, "", "Callsign 4"},
    {entry(5), "call5", T::Edit, &F::call5, 6, "", "Callsign 5"},
    {entry(6), "call6", T::Edit, &F::call6, 6, "", "Callsign 6"},
}};

FormControl* AccessListForm::control(int controlId) { return controlOf<F>(*this, kAccessListControls, controlId); }
const FormControl* AccessListForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kAccessListControls, controlId);
}

namespace {
std::size_t entryOffset(int n) {
    return settings_layout::kAccessList + settings_layout::kAccessListEntrySize * static_cast<std::size_t>(n - 1);
}

std::string shownEntry(const SettingsRecord& settings, int n) {
    const char* e = reinterpret_cast<const char*>(&settings.bytes[entryOffset(n)]);
    return std::string(e, strnlen(e, settings_layout::kAccessListEntrySize));
}

bool isCallsignText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

}  // namespace

void showAccessList(const Session& session, AccessListForm& form) {
    for (int n = 1; n <= 6; ++n) form.control(entry(n))->text = shownEntry(session.settings, n);
}

int checkAndStoreAccessList(const AccessListForm& form, Session& session, UserInterface& ui) {
    // An entry the user did not edit keeps its bytes, whatever the tracker
    // holds there; only what is typed must be a callsign the firmware can
    // compare with a received one.
    auto edited = [&](int n) { return form.control(entry(n))->text != shownEntry(session.settings, n); };
    for (int n = 1; n <= 6; ++n)
        if (edited(n) && !isCallsignText(form.control(entry(n))->text)) {
            ui.message(access_list_message::kInvalidCallsign);
            return -1;
        }
    for (int n = 1; n <= 6; ++n) {
        if (!edited(n)) continue;
        const std::string& text = form.control(entry(n))->text;
        std::uint8_t* e = &session.settings.bytes[entryOffset(n)];
        std::memset(e, 0, settings_layout::kAccessListEntrySize);
        for (std::size_t i = 0; i < std::min(text.size(), settings_layout::kAccessListEntrySize); ++i)
            e[i] = static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    return 0;
}

}  // namespace varnel
