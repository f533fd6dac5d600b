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
    if (code == MSGF_DIALOGBOX && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
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

// Exit, Escape and the close button are all IDCANCEL, the exit button's id.
void CTrackerConfigDialog::onCommand(int controlId, int code, HWND control) {
    binding_->forwardCommand(controlId, code, control, window_);
}

LRESULT CTrackerConfigDialog::onNotify(const NMHDR& header) {
    binding_->forwardNotify(header, window_);
    return 0;
}

}  // namespace varnel::win32
