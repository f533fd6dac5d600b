#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <tuple>

#include "config/settings_packing.h"
#include "config/settings_record.h"
#include "emulator/model/default_settings.h"
#include "forms/tracker/tracker_control_ids.h"
#include "forms/weather/weather_form.h"
#include "session/session.h"
#include "support/factory_session.h"
#include "support/front_end_scenario.h"
#include "support/recording_ui.h"
#include "win32/backups_dialog.h"
#include "win32/connect_dialog.h"
#include "win32/dialog_ids.h"
#include "win32/firmware_dialogs.h"
#include "win32/listing_dialog.h"
#include "win32/registry_settings.h"
#include "win32/satellite_dialogs.h"
#include "win32/script_editor_dialog.h"
#include "win32/slider_value_id.h"
#include "win32/diagnostics_dialog.h"
#include "win32/tracker_config_dialog.h"
#include "win32/weather_config_dialog.h"
#include "win32/win32_windows.h"
#include "win32/wininet_http_client.h"
#include "firmware/http_client.h"
#include "shell/app_context.h"
#include "win32/write_progress_dialog.h"
#include "win32/win32_text.h"
#include "window_driver.h"

namespace varnel::test {
namespace {

using win32::control_binding::isKind;

// What a window may change in a session: its records, byte for byte.
struct Records {
    std::vector<std::uint8_t> settings, radio, script;
    explicit Records(const Session& s)
        : settings(s.settings.bytes.begin(), s.settings.bytes.end()), radio(s.radio.bytes.begin(), s.radio.bytes.end()),
          script(s.script.bytes.begin(), s.script.bytes.end()) {}
};

// "" when the records are the same; else where they first differ.
std::string firstDifference(const Records& a, const Records& b) {
    for (auto [name, x, y] : {std::tuple{"settings", &a.settings, &b.settings}, std::tuple{"radio", &a.radio, &b.radio},
                              std::tuple{"script", &a.script, &b.script}})
        for (std::size_t i = 0; i < x->size(); ++i)
            if ((*x)[i] != (*y)[i])
                return std::string(name) + " byte " + std::to_string(i) + ": " + std::to_string((*x)[i]) + " became " +
                       std::to_string((*y)[i]);
    return "";
}

// The settings of the tests' own registry key, removed with the test.
struct TestSettings : win32::RegistrySettings {
    static constexpr const wchar_t* kKey = L"Software\\Brenvale\\varnelcfg-test\\Settings";
    TestSettings() : RegistrySettings(kKey) { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    ~TestSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
};

// What a window may reach besides the session: a network that serves one
// firmware list, no file chosen.
struct NoHttp : HttpClient {
    HttpResponse get(const std::string&, const std::string& path, std::size_t) override {
        if (path.find("list") == std::string::npos) return {404, "", false, ""};
        return {200, "/fw/a.s19\tTracker 2.0\t2024-05-01\r\n/fw/b.s19\tTracker 1.0\t2023-01-10\r\n", false, ""};
    }
};
struct NoFiles : FileChooser {
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string& = {}) override { return {}; }
};

struct Bench {
    Session session;
    RecordingUi ui;
    NoHttp http;
    NoFiles files;
    TestSettings settings;
    win32::Win32Windows windows;
    AppContext context{session, ui, http, files, settings, windows, "", "", ""};
    explicit Bench(Session s) : session(std::move(s)) {}
};

std::wstring textOf(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    return text;
}

RECT rectOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return r;
}

// Every row of the table is a control of its kind in the window, each edit
// with its typing limit (widened to a longer text the record holds).
template <class Table>
void expectBound(HWND window, const Table& table) {
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.name));
        HWND control = GetDlgItem(window, row.id);
        ASSERT_TRUE(control) << "no control " << row.id;
        EXPECT_TRUE(isKind(control, row.type));
        if (row.typingLimit > 0 && (row.type == ControlType::Edit || row.type == ControlType::DigitEdit)) {
            const int length = GetWindowTextLengthW(control);
            EXPECT_EQ(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), std::max(row.typingLimit, length));
        }
    }
}

// The window closed up without piling controls up: no two shown controls
// overlap (boxes are held against boxes, the rest against the rest), and a
// shown control that starts in a shown box ends in it.
void expectNoOverlap(HWND window) {
    std::vector<HWND> boxes, others;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && !isKind(c, ControlType::Tab))
            (isKind(c, ControlType::Group) ? boxes : others).push_back(c);
    RECT common;
    for (const auto* set : {&boxes, &others})
        for (std::size_t i = 0; i < set->size(); ++i)
            for (std::size_t j = i + 1; j < set->size(); ++j) {
                const RECT a = rectOf((*set)[i]), b = rectOf((*set)[j]);
                EXPECT_FALSE(IntersectRect(&common, &a, &b))
                    << GetDlgCtrlID((*set)[i]) << " and " << GetDlgCtrlID((*set)[j]);
            }
    for (HWND box : boxes)
        for (HWND c : others) {
            const RECT b = rectOf(box), r = rectOf(c);
            if (r.left >= b.left && r.left < b.right && r.top >= b.top && r.top < b.bottom) {
                EXPECT_LE(r.bottom, b.bottom) << GetDlgCtrlID(c);
            }
        }
}

// Each of the windows the main dialog opens, on a tracker of each radio
// kind that offers it: shown, then OK untouched, stores nothing new and says
// nothing.
TEST(Win32Windows, SatelliteWindowsBindAndOkKeepsTheRecords) {
    struct Window {
        const char* name;
        int button;  // the main dialog's button that opens it
        std::function<std::unique_ptr<win32::ModalDialog>(AppContext&)> make;
        std::function<void(HWND)> expectTable;
    };
    auto window = [](const char* name, int button, auto tag, const auto& table) {
        using Dialog = typename decltype(tag)::type;
        return Window{name, button, [](AppContext& c) { return std::make_unique<Dialog>(c); },
                      [&table](HWND w) { expectBound(w, table); }};
    };
    const Window windows[] = {
        window("smart_beacon", tracker_id::kSmartBeaconingButton, std::type_identity<win32::CSmartBeaconDialog>{},
               kSmartBeaconControls),
        window("frequency", tracker_id::kFreqButton, std::type_identity<win32::CFrequencyDialog>{}, kFrequencyControls),
        window("status_text", tracker_id::kMoreTextsButton, std::type_identity<win32::CStatusTextDialog>{},
               kStatusTextControls),
        window("access_list", tracker_id::kAccessListButton, std::type_identity<win32::CAccessListDialog>{},
               kAccessListControls),
        window("digipeater", tracker_id::kDigipeaterButton, std::type_identity<win32::CDigipeaterDialog>{},
               kDigipeaterControls),
        window("profile_switch", tracker_id::kProfileSwitchButton, std::type_identity<win32::CProfileSwitchDialog>{},
               kProfileSwitchControls),
    };
    for (const char* chip : {"AP64", "JL16"})
        for (const Window& w : windows) {
            SCOPED_TRACE(std::string(chip) + " " + w.name);
            Bench bench(factorySession(chip));
            TrackerForm main;
            startTrackerForm(main, bench.session);
            if (!main.control(w.button)->visible) continue;
            const Records before(bench.session);
            auto dialog = w.make(bench.context);
            const INT_PTR result = runDriven(*dialog, [&](HWND hwnd) {
                w.expectTable(hwnd);
                captureWindow(hwnd, std::string(w.name) + "_" + chip);
                postClick(hwnd, IDOK);
            });
            EXPECT_EQ(result, IDOK);
            EXPECT_EQ(firstDifference(before, Records(bench.session)), "");
            EXPECT_TRUE(bench.ui.messages.empty()) << bench.ui.messages.front();
        }
}

// The main dialog of each radio kind: bound, and storing the untouched page
// keeps the records; the hemisphere button toggles, a tab change switches
// the profile, a units choice is remembered in the registry.
TEST(Win32Windows, TrackerDialogBindsAndKeepsTheRecords) {
    namespace id = tracker_id;
    for (const char* chip : {"AP64", "JL16"}) {
        SCOPED_TRACE(chip);
        Bench bench(factorySession(chip));
        const Records before(bench.session);
        win32::CTrackerConfigDialog dialog(bench.context);
        const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
            expectBound(hwnd, kTrackerControls);
            captureWindow(hwnd, std::string("tracker_") + chip);
            TrackerForm& form = dialog.behaviour().form();
            dialog.readForm(form);
            EXPECT_EQ(checkAndStore(form, bench.session, bench.ui), 0);
            EXPECT_EQ(firstDifference(before, Records(bench.session)), "");

            // The level shows beside its slider; a hidden serial ports box
            // leaves no hole above the radio box, which moves back when the
            // box shows again.
            EXPECT_EQ(textOf(GetDlgItem(hwnd, id::kAudioLevel + win32::kSliderValueIdOffset)),
                      std::to_wstring(form.audioLevel.position));
            HWND serial = GetDlgItem(hwnd, id::kSerialGroup), level = GetDlgItem(hwnd, id::kAudioLevel);
            const auto below = [&] { return rectOf(level).top > rectOf(serial).bottom; };
            const LONG levelTop = rectOf(level).top;
            EXPECT_EQ(below(), form.serialGroup.visible);
            TrackerForm toggled = form;
            toggled.serialGroup.visible = !form.serialGroup.visible;
            dialog.showForm(toggled);
            EXPECT_EQ(below(), toggled.serialGroup.visible);
            dialog.showForm(form);
            EXPECT_EQ(rectOf(level).top, levelTop);

            // The carrier row, hidden on these trackers, leaves no empty row:
            // the alternate path box and the comment box below the station
            // box drop by its height and the gap above it when it shows.
            expectNoOverlap(hwnd);
            const int carrierRow[] = {id::kCarrierLabel, id::kCarrierMultiplier, id::kCarrierHzLabel};
            HWND alternate = GetDlgItem(hwnd, id::kAlternatePath), text = GetDlgItem(hwnd, id::kText);
            const LONG alternateTop = rectOf(alternate).top, textTop = rectOf(text).top;
            toggled = form;
            for (int i : carrierRow) toggled.control(i)->visible = true;
            dialog.showForm(toggled);
            expectNoOverlap(hwnd);
            LONG carrierBottom = 0;
            for (int i : carrierRow) carrierBottom = std::max(carrierBottom, rectOf(GetDlgItem(hwnd, i)).bottom);
            const LONG pathBottom =
                std::max(rectOf(GetDlgItem(hwnd, id::kPath)).bottom, rectOf(GetDlgItem(hwnd, id::kPathLabel)).bottom);
            EXPECT_GT(rectOf(alternate).top, carrierBottom);
            EXPECT_EQ(rectOf(alternate).top - alternateTop, carrierBottom - pathBottom);
            EXPECT_EQ(rectOf(text).top - textTop, carrierBottom - pathBottom);
            dialog.showForm(form);
            EXPECT_EQ(rectOf(alternate).top, alternateTop);

            HWND hemisphere = GetDlgItem(hwnd, id::kLatHemisphere);
            const std::wstring north = textOf(hemisphere);
            SendMessageW(hemisphere, BM_CLICK, 0, 0);
            EXPECT_NE(textOf(hemisphere), north);

            // Ctrl+Tab and Ctrl+Shift+Tab turn the tabs, as the dialog's own
            // loop hands the key to its message filter.
            HWND tabs = GetDlgItem(hwnd, id::kTabs);
            for (const auto& [shift, profile] : {std::pair{false, 1}, std::pair{true, 0}}) {
                BYTE keys[256] = {};
                keys[VK_CONTROL] = 0x80;
                keys[VK_SHIFT] = shift ? 0x80 : 0;
                SetKeyboardState(keys);
                MSG key{tabs, WM_KEYDOWN, VK_TAB, 0, 0, {}};
                EXPECT_TRUE(CallMsgFilterW(&key, MSGF_DIALOGBOX));
                EXPECT_EQ(bench.session.currentProfile, profile);
                EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), profile);
            }
            BYTE noKeys[256] = {};
            SetKeyboardState(noKeys);
            MSG plainTab{tabs, WM_KEYDOWN, VK_TAB, 0, 0, {}};
            EXPECT_FALSE(CallMsgFilterW(&plainTab, MSGF_DIALOGBOX));  // Tab alone moves the focus

            // The buttons under the boxes close up with them: no empty band.
            LONG boxes = 0, buttons = LONG_MAX;
            for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (isKind(c, ControlType::Group) && IsWindowVisible(c)) boxes = std::max(boxes, rectOf(c).bottom);
            for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (IsWindowVisible(c) && rectOf(c).top >= boxes) buttons = std::min(buttons, rectOf(c).top);
            RECT spacing{0, 0, 0, 12};
            MapDialogRect(hwnd, &spacing);
            EXPECT_LE(buttons - boxes, spacing.bottom);

            SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
            NMHDR change{tabs, static_cast<UINT_PTR>(id::kTabs), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageW(hwnd, WM_NOTIFY, id::kTabs, reinterpret_cast<LPARAM>(&change));
            EXPECT_EQ(bench.session.currentProfile, 1);

            SendMessageW(GetDlgItem(hwnd, id::kImperialRadio), BM_CLICK, 0, 0);
            EXPECT_FALSE(bench.settings.metric());
            EXPECT_FALSE(bench.session.metric);
            EXPECT_EQ(SendDlgItemMessageW(hwnd, id::kImperialRadio, BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(SendDlgItemMessageW(hwnd, id::kMetricRadio, BM_GETCHECK, 0, 0), BST_UNCHECKED);
            postClick(hwnd, id::kExitButton);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(bench.ui.messages.empty()) << bench.ui.messages.front();
    }
}

// The script editor: bound, and OK on the untouched program keeps the
// script area byte for byte.
TEST(Win32Windows, ScriptEditorBindsAndOkKeepsTheScript) {
    Bench bench(factorySession("AP64"));
    const Records before(bench.session);
    win32::CScriptEditorDialog dialog(bench.context);
    const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
        expectBound(hwnd, kScriptEditorControls);
        EXPECT_GT(SendDlgItemMessageW(hwnd, script_editor_id::kLineList, LB_GETCOUNT, 0, 0), 0);
        // The byte counter has room for its longest text.
        HWND counter = GetDlgItem(hwnd, script_editor_id::kByteCounter);
        RECT need{};
        HDC dc = GetDC(counter);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(counter, WM_GETFONT, 0, 0)));
        DrawTextW(dc, L"512 of 512", -1, &need, DT_CALCRECT | DT_SINGLELINE);
        ReleaseDC(counter, dc);
        EXPECT_LE(need.right, rectOf(counter).right - rectOf(counter).left);
        captureWindow(hwnd, "script_editor_AP64");
        postClick(hwnd, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(firstDifference(before, Records(bench.session)), "");
    EXPECT_TRUE(bench.ui.messages.empty()) << bench.ui.messages.front();
}

TEST(Win32Windows, WeatherDialogBindsAndKeepsTheRecord) {
    Bench bench(factorySession("AP64", true));
    win32::CWeatherConfigDialog dialog(bench.context);
    Records before(bench.session);
    const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
        expectBound(hwnd, kWeatherControls);
        captureWindow(hwnd, "weather_AP64");
        // Opening switched the session to metric; the record is as it was.
        before = Records(bench.session);
        WeatherForm& form = dialog.behaviour().form();
        dialog.readForm(form);
        EXPECT_EQ(storeWeatherRecord(form, bench.session, bench.ui), 0)
            << (bench.ui.messages.empty() ? "" : bench.ui.messages.front());
        postClick(hwnd, weather_id::kExitButton);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(firstDifference(before, Records(bench.session)), "");
}

TEST(Win32Windows, ListingShowsTheTextAsItIs) {
    Bench bench{Session()};
    const std::string text = "0000: 01 02\r\n0002: FF\r\n";
    win32::CListingDialog dialog("Code listing", text, bench.context);
    std::wstring shown;
    const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
        HWND box = FindWindowExW(hwnd, nullptr, L"Edit", nullptr);
        shown = textOf(box);
        captureWindow(hwnd, "listing");
        postClick(hwnd, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shown, win32::wideFromBytes(text));
}

// The Backups window lists the folder newest first; offline only Save a
// copy works, and the close button ends it as Close does.
TEST(Win32Windows, BackupsListTheFolderAndOfflineOnlySaveACopy) {
    Bench bench{Session()};
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "varnel-win32-backups";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* name : {"AP64_2026-12-08_121530.cfg", "AP64_2026-12-09_080102.cfg"})
        std::ofstream(folder / name, std::ios::binary) << std::string(537, '\0');
    bench.context.backupFolder = folder.string();
    win32::CBackupsDialog dialog(bench.context);
    LRESULT rows = 0;
    bool writeBack = true, saveCopy = false;
    const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
        expectBound(hwnd, kBackupsControls);
        rows = SendMessageW(GetDlgItem(hwnd, backups_id::kBackupList), LB_GETCOUNT, 0, 0);
        writeBack = IsWindowEnabled(GetDlgItem(hwnd, backups_id::kWriteBack));
        saveCopy = IsWindowEnabled(GetDlgItem(hwnd, backups_id::kSaveCopy));
        captureWindow(hwnd, "backups");
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(rows, 2);
    EXPECT_FALSE(writeBack);
    EXPECT_TRUE(saveCopy);
    std::filesystem::remove_all(folder);
}

// The write runs once the window is up, OK waits for its end, and the note
// goes under the last status.
TEST(Win32Windows, WriteProgressShowsTheWriteThenWaitsForOk) {
    bool okDuringWrite = true, visibleDuringWrite = false;
    win32::CWriteProgressDialog dialog(
        {[&](WriteProgress& progress) {
             progress.setRange(0, 100);
             progress.setPosition(40);
             progress.setStatus("Finished!");
             okDuringWrite = IsWindowEnabled(GetDlgItem(dialog.window(), IDOK));
             visibleDuringWrite = IsWindowVisible(dialog.window());
             return 0;
         },
         [](int result) { return result == 0 ? std::string("Settings saved in backup.cfg") : std::string(); }});
    std::wstring status;
    const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
        status = textOf(FindWindowExW(hwnd, nullptr, L"Static", nullptr));
        captureWindow(hwnd, "write_progress");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDOK)));
        postClick(hwnd, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(okDuringWrite);
    EXPECT_TRUE(visibleDuringWrite);  // shown before the first byte, not once it is over
    EXPECT_EQ(status, L"Finished!\nSettings saved in backup.cfg");
}

// The connect window: a slot per COM port, the remembered one chosen, and
// Cancel with no attempt running closes it.
TEST(Win32Windows, ConnectWindowOffersTheSlotsAndTheRememberedPort) {
    Bench bench{Session()};
    bench.settings.setPort(5);
    win32::CConnectDialog dialog(bench.context, "");
    const INT_PTR result = runDriven(dialog, [&](HWND hwnd) {
        for (int slot = 1; slot <= kMaxPortSlots; ++slot) {
            ASSERT_TRUE(dialog.slotButton(slot)) << slot;
            EXPECT_EQ(textOf(dialog.slotButton(slot)), L"COM" + std::to_wstring(slot));
            EXPECT_EQ(SendMessageW(dialog.slotButton(slot), BM_GETCHECK, 0, 0),
                      slot == 5 ? BST_CHECKED : BST_UNCHECKED);
        }
        EXPECT_EQ(dialog.choice().slot, 5);
        // The ports the prefix has (COM3, COM12; not COM2) stand out in bold.
        for (int slot : {2, 3, 12}) {
            LOGFONTW face{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog.slotButton(slot), WM_GETFONT, 0, 0)), sizeof face,
                       &face);
            EXPECT_EQ(face.lfWeight >= FW_BOLD, slot != 2) << slot;
        }
        // A longer status (the hint after a silent wait) gets the room it
        // needs and pushes the buttons down; the short one gives it back.
        HWND status = GetDlgItem(hwnd, dialog_ids::connect_dialog::statusLabel);
        HWND connect = GetDlgItem(hwnd, dialog_ids::connect_dialog::connectButton);
        const LONG statusHeight = rectOf(status).bottom - rectOf(status).top, connectTop = rectOf(connect).top;
        const std::string idle = win32::utf8FromWide(textOf(status));
        dialog.setStatus("Ready to connect.  Please reset tracker now.\n\nNo answer yet on COM12. Check that the "
                         "tracker has power, that its cable is plugged in and that this is its port, then reset the "
                         "tracker (switch it off and on again). Connect keeps trying until Cancel.");
        EXPECT_GT(rectOf(status).bottom - rectOf(status).top, 3 * statusHeight);
        EXPECT_GE(rectOf(connect).top, rectOf(status).bottom);
        captureWindow(hwnd, "connect_hint");
        dialog.setStatus(idle);
        EXPECT_EQ(rectOf(status).bottom - rectOf(status).top, statusHeight);
        EXPECT_EQ(rectOf(connect).top, connectTop);
        captureWindow(hwnd, "connect");
        postClick(hwnd, IDCANCEL);
    });
    EXPECT_EQ(win32::shellResult(result), kResultRejected);
}

// The firmware windows: the release list shows every release the server
// lists; the initialisation window names the hardware.
TEST(Win32Windows, FirmwareWindowsShowTheReleasesAndTheHardware) {
    Bench bench(factorySession("AP64"));
    win32::CFirmwareDownloadDialog download(bench.context);
    int rows = -1;
    EXPECT_EQ(runDriven(download,
                        [&](HWND hwnd) {
                            rows = ListView_GetItemCount(FindWindowExW(hwnd, nullptr, WC_LISTVIEWW, nullptr));
                            captureWindow(hwnd, "firmware_download");
                            postClick(hwnd, IDCANCEL);
                        }),
              IDCANCEL);
    EXPECT_EQ(rows, 2);

    win32::CFirmwareInitDialog init(bench.context);
    EXPECT_EQ(runDriven(init,
                        [&](HWND hwnd) {
                            captureWindow(hwnd, "firmware_init");
                            postClick(hwnd, IDCANCEL);
                        }),
              IDCANCEL);
    EXPECT_TRUE(bench.ui.messages.empty()) << bench.ui.messages.front();
}

// "Port", "Turbo" and "Metric" are DWORDs in the current user's
// Software\Brenvale\varnelcfg\Settings, with their defaults when absent.
TEST(Win32Windows, SettingsLiveInTheRegistryKey) {
    TestSettings settings;
    EXPECT_EQ(settings.port(), 1);
    EXPECT_TRUE(settings.turbo());
    EXPECT_TRUE(settings.metric());
    settings.setPort(7);
    settings.setTurbo(false);
    settings.setMetric(false);
    for (auto [name, wanted] : {std::pair{L"Port", 7}, {L"Turbo", 0}, {L"Metric", 0}}) {
        DWORD value = 99, size = sizeof value;
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, TestSettings::kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, static_cast<DWORD>(wanted));
    }
    EXPECT_EQ(settings.port(), 7);
    EXPECT_STREQ(win32::RegistrySettings::kKeyPath, L"Software\\Brenvale\\varnelcfg\\Settings");
}

// The scenario through the Windows dialogs: the messages a click, typing
// and a slider's drag send, the windows they open really opened (and closed
// again with Escape), the messages recorded.
template <class Dialog, class Form>
class Win32Player : public ScenarioPlayer {
public:
    Win32Player(Dialog& dialog, HWND window, std::span<const ControlInfo<Form>> table, RecordingUi& ui)
        : dialog_(dialog), window_(window), table_(table), ui_(ui) {}

    void click(const std::string& name) override {
        HWND c = control(name);
        if (c && IsWindowVisible(c) && IsWindowEnabled(c)) act([&] { SendMessageW(c, BM_CLICK, 0, 0); });
    }
    void type(const std::string& name, const std::string& text) override {
        HWND c = control(name);
        SetWindowTextW(c, L"");
        act([&] { SetWindowTextW(c, win32::wideFromUtf8(text).c_str()); });
    }
    // Held, not let go: the trackbar tells its window of the thumb's track.
    void slide(const std::string& name, int position) override {
        HWND c = control(name);
        act([&] {
            SendMessageW(c, TBM_SETPOS, TRUE, position);
            SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(c));
        });
    }
    std::vector<std::string> brought() override { return std::exchange(brought_, {}); }
    std::string shown(const std::string& name) override { return win32::utf8FromWide(textOf(control(name))); }

private:
    HWND control(const std::string& name) {
        for (const ControlInfo<Form>& row : table_)
            if (row.name == name) return GetDlgItem(window_, row.id);
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }
    // Each window of the program that comes up over this one is noted and
    // sent Escape; timer procedures carry no context of their own.
    static Win32Player* closing;
    static void CALLBACK closeOpened(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM) -> BOOL {
                wchar_t kind[16] = {};
                GetClassNameW(w, kind, 16);
                if (w == closing->window_ || !IsWindowVisible(w) || lstrcmpW(kind, L"#32770") != 0) return TRUE;
                auto* opened = reinterpret_cast<win32::ModalDialog*>(GetWindowLongPtrW(w, DWLP_USER));
                if (!opened || !closing->seen_.insert(w).second) return TRUE;
                closing->brought_.push_back("opens " + win32::utf8FromWide(opened->templateName()));
                PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return TRUE;
            },
            0);
    }
    // Runs what the user did; questions are answered Cancel.
    template <class Action>
    void act(Action action) {
        const std::size_t said = ui_.messages.size(), asked = ui_.questions.size(), chose = ui_.choices.size();
        ui_.choiceAnswers = {UserInterface::Answer::Cancel, UserInterface::Answer::Cancel};
        closing = this;
        seen_.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, closeOpened);
        action();
        KillTimer(nullptr, timer);
        for (std::size_t i = said; i < ui_.messages.size(); ++i) brought_.push_back("says " + ui_.messages[i]);
        for (std::size_t i = asked; i < ui_.questions.size(); ++i) brought_.push_back("asks " + ui_.questions[i]);
        for (std::size_t i = chose; i < ui_.choices.size(); ++i) brought_.push_back("asks " + ui_.choices[i]);
    }

    Dialog& dialog_;
    HWND window_;
    std::span<const ControlInfo<Form>> table_;
    RecordingUi& ui_;
    std::set<HWND> seen_;
    std::vector<std::string> brought_;
};
template <class Dialog, class Form>
Win32Player<Dialog, Form>* Win32Player<Dialog, Form>::closing = nullptr;

// What the scenario's windows reach: WinINet, and a firmware server that
// cannot be reached.
struct ScenarioBench {
    Session session;
    RecordingUi ui;
    win32::WinInetHttpClient http{3000};
    NoFiles files;
    TestSettings settings;
    win32::Win32Windows windows;
    AppContext context{session, ui, http, files, settings, windows, "127.0.0.1:1", "127.0.0.1:1", ""};
    explicit ScenarioBench(const Session& factory) {
        session.restore(factory.snapshot());
        session.target = factory.target;
        session.link.connected = true;
        session.link.chipName = "AP64";
        session.markSaved();
    }
};

template <class Dialog, class Form>
void playInWindows(const ScenarioWindow& window, bool weather, std::span<const ControlInfo<Form>> table) {
    ScenarioBench bench(factorySession("AP64", weather));
    Dialog dialog(bench.context);
    runDriven(dialog, [&](HWND hwnd) {
        Win32Player<Dialog, Form> player(dialog, hwnd, table, bench.ui);
        playScenario(window, player);
        EndDialog(hwnd, IDCANCEL);
    });
}

TEST(Win32Windows, TheWindowsDoWhatTheFrontEndScenarioSays) {
    const std::vector<ScenarioWindow> scenario = readFrontEndScenario();
    ASSERT_EQ(scenario.size(), 2u);
    for (const ScenarioWindow& window : scenario) {
        SCOPED_TRACE(window.kind);
        if (window.kind == "Tracker")
            playInWindows<win32::CTrackerConfigDialog, TrackerForm>(window, false, kTrackerControls);
        else playInWindows<win32::CWeatherConfigDialog, WeatherForm>(window, true, kWeatherControls);
    }
}

}  // namespace
}  // namespace varnel::test
