#include "win32/tracker_config_dialog.h"

#include <commctrl.h>

#include "forms/tracker/tracker_control_ids.h"
#include "forms/tracker/tracker_messages.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace id = tracker_id;

namespace {
// The export entry of the system menu (a multiple of 16 below 0xF000).
constexpr unsigned kExportCommand = 0x0020;
}  // namespace

CTrackerConfigDialog::CTrackerConfigDialog(AppContext& context)
    : ModalDialog(L"TrackerConfigDialog"), context_(context), window_(context, *this) {}

CTrackerConfigDialog::~CTrackerConfigDialog() {
    if (tabKeysHook_) UnhookWindowsHookEx(tabKeysHook_);
}

LRESULT CALLBACK CTrackerConfigDialog::tabKeys(int code, WPARAM wParam, LPARAM lParam) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB &&
        GetKeyState(VK_CONTROL) < 0) {
        const HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
        const HWND tabs = dialog ? GetDlgItem(dialog, id::kTabs) : nullptr;
        wchar_t kind[32] = {};
        if (tabs) GetClassNameW(tabs, kind, 32);
        const int count = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
        if (count > 0 && lstrcmpiW(kind, WC_TABCONTROLW) == 0 && IsWindowEnabled(tabs)) {
            const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
            const int next = (static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)) + step) % count;
            SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
            // A selection set by message tells nobody; the window hears it as a click's.
            NMHDR changed{tabs, static_cast<UINT_PTR>(id::kTabs), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(id::kTabs), reinterpret_cast<LPARAM>(&changed));
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CTrackerConfigDialog::onInit() {
    tabKeysHook_ = SetWindowsHookExW(WH_MSGFILTER, tabKeys, nullptr, GetCurrentThreadId());
    binding_ = std::make_unique<FormBinding<TrackerForm>>(window(), kTrackerControls);
    binding_->takeCaptions(window_.form());
    groups_ = std::make_unique<GroupCollapse>(window());
    window_.start();
    addAboutEntry();
    if (window_.form().exportEntry)
        AppendMenuW(GetSystemMenu(window(), FALSE), MF_STRING, kExportCommand,
                    wideFromUtf8(tracker_message::kExportEntry).c_str());
}

bool CTrackerConfigDialog::onSysCommand(unsigned command) {
    if (command != kExportCommand) return false;
    window_.exportPressed();
    return true;
}

void CTrackerConfigDialog::onCommand(int controlId, int code, HWND control) {
    if (binding_->updating()) return;
    static constexpr std::pair<int, WindowKind> kWindows[] = {
        {id::kScriptButton, WindowKind::ScriptEditor},   {id::kSmartBeaconingButton, WindowKind::SmartBeacon},
        {id::kFreqButton, WindowKind::Frequency},        {id::kMoreTextsButton, WindowKind::StatusText},
        {id::kAccessListButton, WindowKind::AccessList}, {id::kDigipeaterButton, WindowKind::Digipeater},
        {id::kProfileSwitchButton, WindowKind::ProfileSwitch},
    };
    const ControlInfo<TrackerForm>* row = binding_->row(controlId);
    if (code == BN_CLICKED && (!row || row->type == ControlType::Button)) {
        for (const auto& [button, kind] : kWindows)
            if (controlId == button) return window_.windowPressed(kind);
        switch (controlId) {
        // Exit, Escape and the close button (all IDCANCEL) ask before
        // dropping edits.
        case id::kExitButton: return window_.exitRequested();
        case id::kWriteButton: return window_.writePressed();
        case id::kCopyButton: return window_.copyPressed();
        case id::kSaveButton: return window_.saveFilePressed();
        case id::kLoadButton: return window_.loadFilePressed();
        case id::kBackupsButton: return window_.backupsPressed();
        case id::kFirmwareFileButton: return window_.firmwarePressed(false);
        case id::kFirmwareNetworkButton: return window_.firmwarePressed(true);
        case id::kDiagnosticsButton: return window_.diagnosticsPressed();
        case id::kLatHemisphere:
        case id::kLonHemisphere: return window_.controlChanged(controlId);
        default: return;
        }
    }
    if (!row) return;
    switch (row->type) {
    case ControlType::Edit:
        if (code == EN_CHANGE) window_.controlChanged(controlId);
        break;
    case ControlType::Check:
        if (code == BN_CLICKED) window_.controlChanged(controlId);
        break;
    case ControlType::Radio:
        // Only the button turned on reports the change.
        if (code != BN_CLICKED || SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) break;
        if (controlId == id::kMetricRadio || controlId == id::kImperialRadio)
            window_.unitsChosen(controlId == id::kMetricRadio);
        else
            window_.controlChanged(controlId);
        break;
    case ControlType::List:
        if (code == CBN_SELCHANGE) window_.controlChanged(controlId);
        break;
    default: break;
    }
}

LRESULT CTrackerConfigDialog::onNotify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE && static_cast<int>(header.idFrom) == id::kTabs)
        window_.tabChanged(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
    return 0;
}

}  // namespace varnel::win32
