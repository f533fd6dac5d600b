#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "forms/satellite/satellite_keys.h"
#include "forms/tracker/tracker_config_edit.h"
#include "forms/tracker/tracker_controls.h"
#include "config/weather_record.h"
#include "forms/weather/weather_form.h"
#include "script/script_editor_model.h"
#include "tracker_fixture.h"

namespace varnel::test {
namespace {

// Every byte a window stores must show in `show` and `diff`: a setting the
// command line cannot see is one a fleet's backups and diffs silently miss.
// Property: flip any one bit of the records. If some window carries the flip
// through its show and store (it is a bit that window writes), some key's
// value, or "script: differs", must change with it.

void copyRecords(const Session& from, Session& to) {
    to.link = from.link;
    to.target = from.target;
    to.settings = from.settings;
    to.radio = from.radio;
    to.script = from.script;
    to.currentProfile = from.currentProfile;
    to.metric = from.metric;
}

// One window's show from `shown` and store into `into`; false when its check
// refused the values (nothing to compare then).
using RoundTrip = std::function<bool(Session& shown, Session& into)>;

struct Window {
    std::string name;
    RoundTrip roundTrip;
};

// Whether the main dialog shows the button that opens the window.
bool offered(const Session& s, int profile, SatelliteDialog d) {
    static constexpr int kButtons[kSatelliteDialogCount] = {
        tracker_id::kSmartBeaconingButton, tracker_id::kFreqButton,       tracker_id::kMoreTextsButton,
        tracker_id::kAccessListButton,     tracker_id::kDigipeaterButton, tracker_id::kProfileSwitchButton,
        tracker_id::kDiagnosticsButton,    tracker_id::kScriptButton};
    auto shown = std::make_unique<Session>();
    copyRecords(s, *shown);
    TrackerForm form;
    startTrackerForm(form, *shown, profile);
    return form.control(kButtons[static_cast<std::size_t>(d)])->visible;
}

std::vector<Window> trackerWindows(const Session& s) {
    std::vector<Window> out;
    for (int profile : {0, 1}) {
        const std::string tab = " (profile " + std::to_string(profile + 1) + ")";
        std::shared_ptr<Session> unchanged = std::make_unique<Session>();
        out.push_back({"main dialog" + tab, [profile, unchanged](Session& shown, Session& into) {
                           // The user reaches only the controls the dialog
                           // shows; a hidden one stores back what it held.
                           TrackerForm form, held;
                           RecordingUi ui;
                           startTrackerForm(form, shown, profile);
                           copyRecords(into, *unchanged);
                           startTrackerForm(held, *unchanged, profile);
                           for (const auto& c : kTrackerControls)
                               if (!(held.*c.member).visible) form.*c.member = held.*c.member;
                           into.currentProfile = profile;
                           return checkAndStore(form, into, ui) == 0;
                       }});
        for (std::size_t d = 0; d < kSatelliteDialogCount; ++d)
            if (offered(s, profile, static_cast<SatelliteDialog>(d)))
                out.push_back({"window " + std::to_string(d) + tab, [profile, d](Session& shown, Session& into) {
                                   shown.currentProfile = into.currentProfile = profile;
                                   auto forms = std::make_unique<SatelliteForms>();
                                   showSatelliteForms(shown, *forms);
                                   forms->changed[d] = true;
                                   RecordingUi ui;
                                   return storeSatelliteForms(*forms, into, ui) == 0;
                               }});
        if (s.target.hasScript())
            out.push_back({"script editor" + tab, [profile](Session& shown, Session& into) {
                               shown.currentProfile = into.currentProfile = profile;
                               RecordingUi ui;
                               ui.defaultAnswer = true;  // store odd programs too
                               ScriptArea area = shown.script;
                               std::uint8_t flags = currentProfileFeatureFlags(shown);
                               ScriptEditorModel model(area, flags, ui);
                               area = into.script;
                               flags = currentProfileFeatureFlags(into);
                               if (!model.ok()) return false;
                               into.script = area;
                               currentProfileFeatureFlags(into) = flags;
                               return true;
                           }});
    }
    return out;
}

std::vector<Window> weatherWindows() {
    return {{"weather dialog", [](Session& shown, Session& into) {
                 WeatherForm form;
                 RecordingUi ui;
                 startWeatherForm(form, shown);
                 return storeWeatherRecord(form, into, ui) == 0;
             }}};
}

// The bytes a window stores that no key shows, as "window: byte N bit B".
std::vector<std::string> invisibleStoredBits(const Session& base, const std::vector<Window>& windows) {
    auto flipped = std::make_unique<Session>();
    auto shown = std::make_unique<Session>();
    auto into = std::make_unique<Session>();
    auto reference = std::make_unique<Session>();
    auto unflipped = std::make_unique<Session>();
    copyRecords(base, *unflipped);

    // The script area needs no flips: diff compares it byte for byte.
    struct Area {
        const char* name;
        std::uint8_t* (*bytes)(Session&);
        std::size_t size;
    };
    const Area areas[] = {
        {"settings", [](Session& x) { return x.settings.bytes.data(); }, base.settings.bytes.size()},
        {"radio", [](Session& x) { return x.radio.bytes.data(); },
         base.target.kind == KindJL16 ? base.radio.bytes.size() : 0},
    };
    // What show prints for both profiles (one record for a weather station).
    const auto listing = [](Session& x) {
        auto values = configKeyValues(x, 0, true);
        if (x.settings.family() != kFamilyWeather)
            for (auto& value : configKeyValues(x, 1, true)) values.push_back(std::move(value));
        return values;
    };
    const auto shownBefore = listing(*unflipped);
    std::vector<std::string> out;
    // A window that refuses the plain records would pass every bit unseen.
    for (const Window& w : windows) {
        copyRecords(base, *shown);
        copyRecords(base, *reference);
        if (!w.roundTrip(*shown, *reference)) out.push_back(w.name + " refuses the records it was shown");
    }
    for (const Area& area : areas)
        for (std::size_t i = 0; i < area.size; ++i)
            for (int bit = 0; bit < 8; ++bit) {
                copyRecords(base, *flipped);
                area.bytes(*flipped)[i] ^= static_cast<std::uint8_t>(1u << bit);
                if (listing(*flipped) != shownBefore) continue;
                for (const Window& w : windows) {
                    // What the window stores from the unflipped records, and
                    // from the flipped ones, each into the unflipped.
                    copyRecords(base, *shown);
                    copyRecords(base, *reference);
                    if (!w.roundTrip(*shown, *reference)) continue;
                    copyRecords(*flipped, *shown);
                    copyRecords(base, *into);
                    if (!w.roundTrip(*shown, *into)) continue;
                    if (into->settings.bytes != reference->settings.bytes ||
                        into->radio.bytes != reference->radio.bytes || into->script.bytes != reference->script.bytes)
                        out.push_back(w.name + ": " + area.name + " byte " + std::to_string(i) + " bit " +
                                      std::to_string(bit));
                }
            }
    return out;
}

struct StoredBitsCase {
    const char* chip;
    std::uint8_t family;
};

// One test per kind, so each gets its own time limit (the sanitizer build
// takes half a minute a kind).
class StoredBytesVisible : public ::testing::TestWithParam<StoredBitsCase> {};

TEST_P(StoredBytesVisible, EveryBitAWindowStoresShowsInSomeKey) {
    const StoredBitsCase c = GetParam();
    Session base = trackerSession(c.chip, c.family);
    base.script.bytes.fill(0xFF);
    if (c.family == kFamilyWeather) {
        // A station's valid record in the first slot (the callsign is
        // where the tracker's is).
        const WeatherRecord r(base.settings.profile(0));
        r.setDirectionThreshold(45);
        r.setLatitude("4736.25N");
        r.setLongitude("12219.50W");
    }
    const auto windows = c.family == kFamilyWeather ? weatherWindows() : trackerWindows(base);
    const auto hidden = invisibleStoredBits(base, windows);
    std::string all;
    for (const auto& h : hidden) all += h + "\n";
    EXPECT_TRUE(hidden.empty()) << hidden.size() << " hidden:\n" << all;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoredBytesVisible,
    ::testing::Values(StoredBitsCase{"AP64", kFamilyTracker}, StoredBitsCase{"JM60", kFamilyTracker},
                      StoredBitsCase{"JL16", kFamilyTracker}, StoredBitsCase{"JM128", kFamilyTrackerText},
                      StoredBitsCase{"KX8", kFamilyWeather}),
    [](const auto& info) { return std::string(info.param.chip) + "_family" + std::to_string(info.param.family); });

}  // namespace
}  // namespace varnel::test
