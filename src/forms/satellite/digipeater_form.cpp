#include "forms/satellite/digipeater_form.h"

#include "forms/common/path_text.h"

#include <optional>

#include "config/ax25_codec.h"
#include "config/profile_record.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"

namespace varnel {

namespace id = digipeater_id;
namespace msg = digipeater_message;
using T = ControlType;
using F = DigipeaterForm;

namespace {
constexpr const id::Row& row(int n) { return id::kRows[n - 1]; }
}  // namespace

const std::array<ControlInfo<DigipeaterForm>, kDigipeaterControlCount> kDigipeaterControls{{
    {row(1).alias, "alias1", T::Edit, &F::alias1, 6, "", "Alias 1"},
    {row(1).hops, "hops1", T::Edit, &F::hops1, 1, "", "Max hops 1"},
    {row(1).preempt, "preempt1", T::Check, &F::preempt1, 0, "", "Preempt 1"},
    {row(1).insertCallsign, "insertCallsign1", T::Check, &F::insertCallsign1, 0, "", "Insert callsign 1"},
    {row(1).enabled, "enabled1", T::Check, &F::enabled1, 0, "", "Enable 1"},
    {row(2).alias, "alias2", T::Edit, &F::alias2, 6, "", "Alias 2"},
    {row(2).hops, "hops2", T::Edit, &F::hops2, 1, "", "Max hops 2"},
    {row(2).preempt, "preempt2", T::Check, &F::preempt2, 0, "", "Preempt 2"},
    {row(2).insertCallsign, "insertCallsign2", T::Check, &F::insertCallsign2, 0, "", "Insert callsign 2"},
    {row(2).enabled, "enabled2", T::Check, &F::enabled2, 0, "", "Enable 2"},
    {row(3).alias, "alias3", T::Edit, &F::alias3, 6, "", "Alias 3"},
    {row(3).hops, "hops3", T::Edit, &F::hops3, 1, "", "Max hops 3"},
    {row(3).preempt, "preempt3", T::Check, &F::preempt3, 0, "", "Preempt 3"},
    {row(3).insertCallsign, "insertCallsign3", T::Check, &F::insertCallsign3, 0, "", "Insert callsign 3"},
    {row(3).enabled, "enabled3", T::Check, &F::enabled3, 0, "", "Enable 3"},
    {row(4).alias, "alias4", T::Edit, &F::alias4, 6, "", "Alias 4"},
    {row(4).hops, "hops4", T::Edit, &F::hops4, 1, "", "Max hops 4"},
    {row(4).preempt, "preempt4", T::Check, &F::preempt4, 0, "", "Preempt 4"},
    {row(4).insertCallsign, "insertCallsign4", T::Check, &F::insertCallsign4, 0, "", "Insert callsign 4"},
    {row(4).enabled, "enabled4", T::Check, &F::enabled4, 0, "", "Enable 4"},
    {row(5).alias, "alias5", T::Edit, &F::alias5, 6, "", "Alias 5"},
    {row(5).hops, "hops5", T::Edit, &F::hops5, 1, "", "Max hops 5"},
    {row(5).preempt, "preempt5", T::Check, &F::preempt5, 0, "", "Preempt 5"},
    {row(5).insertCallsign, "insertCallsign5", T::Check, &F::insertCallsign5, 0, "", "Insert callsign 5"},
    {row(5).enabled, "enabled5", T::Check, &F::enabled5, 0, "", "Enable 5"},
    {row(6).alias, "alias6", T::Edit, &F::alias6, 6, "", "Alias 6"},
    {row(6).hops, "hops6", T::Edit, &F::hops6, 1, "", "Max hops 6"},
    {row(6).preempt, "preempt6", T::Check, &F::preempt6, 0, "", "Preempt 6"},
    {row(6).insertCallsign, "insertCallsign6", T::Check, &F::insertCallsign6, 0, "", "Insert callsign 6"},
    {row(6).enabled, "enabled6", T::Check, &F::enabled6, 0, "", "Enable 6"},
    {row(7).alias, "alias7", T::Edit, &F::alias7, 6, "", "Alias 7"},
    {row(7).hops, "hops7", T::Edit, &F::hops7, 1, "", "Max hops 7"},
    {row(7).preempt, "preempt7", T::Check, &F::preempt7, 0, "", "Preempt 7"},
    {row(7).insertCallsign, "insertCallsign7", T::Check, &F::insertCallsign7, 0, "", "Insert callsign 7"},
    {row(7).enabled, "enabled7", T::Check, &F::enabled7, 0, "", "Enable 7"},
    {row(8).alias, "alias8", T::Edit, &F::alias8, 6, "", "Alias 8"},
    {row(8).hops, "hops8", T::Edit, &F::hops8, 1, "", "Max hops 8"},
    {row(8).preempt, "preempt8", T::Check, &F::preempt8, 0, "", "Preempt 8"},
    {row(8).insertCallsign, "insertCallsign8", T::Check, &F::insertCallsign8, 0, "", "Insert callsign 8"},
    {row(8).enabled, "enabled8", T::Check, &F::enabled8, 0, "", "Enable 8"},
    {id::kDupeTime, "dupeTime", T::Edit, &F::dupeTime, 3, ""},
    {id::kDigipeating, "digipeating", T::Check, &F::digipeating, 0, ""},
}};

FormControl* DigipeaterForm::control(int controlId) { return controlOf<F>(*this, kDigipeaterControls, controlId); }
const FormControl* DigipeaterForm::control(int controlId) const {
    return controlOf<F>(const_cast<F&>(*this), kDigipeaterControls, controlId);
}

namespace {

// Each alias entry: six AX.25 address characters, the hop limit, and the
// option bits (bits 0 to 5 belong to the firmware and are kept).
constexpr std::size_t kEntryHops = 6;
constexpr std::size_t kEntryOptions = 7;
constexpr std::uint8_t kOptionInsertCallsign = 0x80;
constexpr std::uint8_t kOptionPreempt = 0x40;

std::uint8_t* entryOf(SettingsRecord& s, int n) {
    return &s.bytes[settings_layout::kDigipeaterAliases + settings_layout::kDigipeaterAliasSize * (n - 1)];
}
const std::uint8_t* entryOf(const SettingsRecord& s, int n) { return entryOf(const_cast<SettingsRecord&>(s), n); }

// The alias an entry's six bytes spell: shifted letters and digits, padded
// with shifted spaces. Bytes that spell none (an erased entry's 0xFF) show
// as an empty box rather than as invisible characters.
std::string aliasText(const std::uint8_t* e) {
    for (int i = 0; i < 6; ++i) {
        const char c = static_cast<char>(e[i] >> 1);
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
        if ((e[i] & 1) != 0 || !allowed) return "";
    }
    std::uint8_t field[7] = {e[0], e[1], e[2], e[3], e[4], e[5], 0};  // only the characters: no SSID
    return decodeAddress(field);
}

// A hop count of 0 shows as an empty box.
std::string hopsText(std::uint8_t hops) { return hops == 0 ? "" : formatInt(hops); }

void setBit(std::uint8_t& byte, std::uint8_t mask, bool on) {
    byte = static_cast<std::uint8_t>(on ? byte | mask : byte & ~mask);
}

}  // namespace

void showDigipeater(const Session& session, DigipeaterForm& form) {
    const ConstProfileRecord p(session.profile(), session.target.kind);
    form.dupeTime.text = formatInt(p.digiDupeTime());
    form.digipeating.checked = p.flag(profile_layout::kFeatureFlags, profile_layout::kFeatureDigipeating);
    for (int n = 1; n <= 8; ++n) {
        const std::uint8_t* e = entryOf(session.settings, n);
        form.control(row(n).alias)->text = aliasText(e);
        form.control(row(n).hops)->text = hopsText(e[kEntryHops]);
        form.control(row(n).insertCallsign)->checked = (e[kEntryOptions] & kOptionInsertCallsign) != 0;
        form.control(row(n).preempt)->checked = (e[kEntryOptions] & kOptionPreempt) != 0;
        form.control(row(n).enabled)->checked = (p.digiAliasBits() >> (n - 1)) & 1;
    }
}

int checkAndStoreDigipeater(const DigipeaterForm& form, Session& session, UserInterface& ui) {
    // Everything is checked before anything is stored, so a refused OK (and
    // the Cancel that may follow it) leaves every byte as the window found it.
    // An alias whose text was not edited keeps its bytes, spelled or not.
    std::array<std::optional<AddressField>, 8> typed;
    for (int n = 1; n <= 8; ++n) {
        const std::string& text = form.control(row(n).alias)->text;
        if (text == aliasText(entryOf(session.settings, n))) continue;
        AddressField field{};
        if (const AddressRefusal why = encodeAddressChecked(text, field); why != AddressRefusal::None) {
            ui.message(addressRefusal(msg::kInvalidAlias, text, why));
            return -1;
        }
        typed[n - 1] = field;
    }
    const long long dupe = readFormInt(form.dupeTime.text);
    if (dupe < 0 || dupe > 255) {
        ui.message(msg::kDupeTime);
        return -1;
    }
    std::array<std::uint8_t, 8> hops{};
    for (int n = 1; n <= 8; ++n) {
        // The edit takes a single digit; an empty one is 0. A count the box
        // cannot show whole is kept while its text is not edited.
        const std::uint8_t stored = entryOf(session.settings, n)[kEntryHops];
        const std::string& text = form.control(row(n).hops)->text;
        const long long v = text == hopsText(stored) ? stored : readFormInt(text);
        if (v != stored && (v < 0 || v > 9)) {
            ui.message(msg::kHops);
            return -1;
        }
        hops[n - 1] = static_cast<std::uint8_t>(v);
    }

    for (int n = 1; n <= 8; ++n)
        if (typed[n - 1]) std::copy(typed[n - 1]->begin(), typed[n - 1]->begin() + 6, entryOf(session.settings, n));
    const ProfileRecord p(session.profile(), session.target.kind);
    p.setDigiDupeTime(static_cast<std::uint8_t>(dupe));
    std::uint8_t enabledBits = p.digiAliasBits();
    for (int n = 1; n <= 8; ++n) {
        std::uint8_t* e = entryOf(session.settings, n);
        e[kEntryHops] = hops[n - 1];
        setBit(e[kEntryOptions], kOptionInsertCallsign, form.control(row(n).insertCallsign)->checked);
        setBit(e[kEntryOptions], kOptionPreempt, form.control(row(n).preempt)->checked);
        setBit(enabledBits, static_cast<std::uint8_t>(1u << (n - 1)), form.control(row(n).enabled)->checked);
    }
    p.setDigiAliasBits(enabledBits);
    p.setFlag(profile_layout::kFeatureFlags, profile_layout::kFeatureDigipeating, form.digipeating.checked);
    return 0;
}

}  // namespace varnel
