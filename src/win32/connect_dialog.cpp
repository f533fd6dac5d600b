#include "win32/connect_dialog.h"

#include <commctrl.h>

#include "win32/accessibility.h"
#include "win32/dialog_ids.h"
#include "win32/form_binding.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {
namespace ids = dialog_ids::connect_dialog;
// The slots' radio buttons, made at run time, take ids from here.
constexpr int kFirstSlotId = 4000;
// Two columns of slots, one 12 dialog units high per row, inside the port
// group box's margins (as the layouts are laid out).
constexpr int kSlotRowUnits = 12;
constexpr int kGroupTopUnits = 11;
constexpr int kMarginUnits = 7;
constexpr int kRowSpacingUnits = 4;
}  // namespace

CConnectDialog::CConnectDialog(AppContext& context, std::string extraPath, PortQuery query)
    : ModalDialog(L"ConnectDialog"), window_(context, *this, std::move(extraPath), std::move(query)) {}

void CConnectDialog::onInit() {
    tooltips_ = control_binding::createTooltips(window());
    window_.start();
}

void CConnectDialog::showSlots(const std::vector<PortSlot>& ports) {
    HWND group = GetDlgItem(window(), ids::portGroup);
    RECT units{kMarginUnits, kGroupTopUnits, kSlotRowUnits, kMarginUnits};
    MapDialogRect(window(), &units);  // left, top, row height, bottom margin in pixels
    const int rows = static_cast<int>(ports.size() + 1) / 2;
    const RECT before = controlRect(group);
    growControl(group, units.top + rows * units.right + units.bottom - (before.bottom - before.top));
    const RECT box = controlRect(group);
    const int column = (box.right - box.left - 2 * units.left) / 2;
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window(), WM_GETFONT, 0, 0));
    HWND after = group;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const int x = box.left + units.left + static_cast<int>(i % 2) * column;
        const int y = box.top + units.top + static_cast<int>(i / 2) * units.right;
        HWND b = CreateWindowExW(0, L"Button", wideFromUtf8(ports[i].label).c_str(),
                                 WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), x,
                                 y, column - 4, units.right, window(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstSlotId + i)),
                                 GetModuleHandleW(nullptr), nullptr);
        // The ports the system has (each with its driver's description) stand
        // out in bold among the 16 slots.
        SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(ports[i].present ? presentFont(font) : font), FALSE);
        // In the tab order right after the group box; the slots are one tab
        // stop, the arrows move between them.
        SetWindowPos(b, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = b;
        if (!ports[i].tooltip.empty()) {
            std::wstring tip = wideFromUtf8(ports[i].tooltip);
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = window();
            tool.uId = reinterpret_cast<UINT_PTR>(b);
            tool.lpszText = tip.data();
            SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        slots_.push_back(b);
    }
    // What follows the slots starts a group of its own.
    if (HWND next = GetWindow(after, GW_HWNDNEXT))
        SetWindowLongW(next, GWL_STYLE, GetWindowLongW(next, GWL_STYLE) | WS_GROUP);
}

HFONT CConnectDialog::presentFont(HFONT font) {
    if (!boldFont_) {
        LOGFONTW face{};
        GetObjectW(font, sizeof face, &face);
        face.lfWeight = FW_BOLD;
        boldFont_ = CreateFontIndirectW(&face);
    }
    return boldFont_ ? boldFont_ : font;
}

CConnectDialog::~CConnectDialog() {
    if (boldFont_) DeleteObject(boldFont_);
}

HWND CConnectDialog::slotButton(int slot) const {
    return slot >= 1 && slot <= static_cast<int>(slots_.size()) ? slots_[static_cast<std::size_t>(slot - 1)] : nullptr;
}

void CConnectDialog::showChoice(int slot, const std::string& typedPath, bool slowLink) {
    for (std::size_t i = 0; i < slots_.size(); ++i)
        SendMessageW(slots_[i], BM_SETCHECK, static_cast<int>(i) + 1 == slot ? BST_CHECKED : BST_UNCHECKED, 0);
    // Set again, the text would lose the caret's place.
    if (choice().typedPath != typedPath) SetDlgItemTextW(window(), ids::portPathEdit, wideFromUtf8(typedPath).c_str());
    CheckDlgButton(window(), ids::slowLinkBox, slowLink ? BST_CHECKED : BST_UNCHECKED);
}

ConnectChoice CConnectDialog::choice() const {
    ConnectChoice c;
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (SendMessageW(slots_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) c.slot = static_cast<int>(i) + 1;
    wchar_t typed[MAX_PATH] = {};
    GetDlgItemTextW(window(), ids::portPathEdit, typed, MAX_PATH);
    c.typedPath = utf8FromWide(typed);
    c.slowLink = IsDlgButtonChecked(window(), ids::slowLinkBox) == BST_CHECKED;
    c.reloadFirmware = IsDlgButtonChecked(window(), ids::reloadFirmwareBox) == BST_CHECKED;
    return c;
}

void CConnectDialog::setStatus(const std::string& text) {
    // The status grows for a longer text (the hint after a silent wait) and
    // the buttons below it move down; it goes back to its own height after.
    HWND label = GetDlgItem(window(), ids::statusLabel);
    if (statusHeight_ == 0) {
        const RECT r = controlRect(label);
        statusHeight_ = r.bottom - r.top;
    }
    SetWindowTextW(label, wideFromUtf8(text).c_str());
    fitToText(label, statusHeight_);
    announceChange(label);
}
void CConnectDialog::showControls(const ConnectControls& controls) {
    EnableWindow(GetDlgItem(window(), ids::connectButton), controls.connectEnabled);
    EnableWindow(GetDlgItem(window(), ids::offlineButton), controls.offlineEnabled);
    ShowWindow(GetDlgItem(window(), ids::addPortButton), controls.addPortShown ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(window(), ids::helpButton), controls.helpEnabled);
    if (controls.typedPathShown || pathRowGone_) return;
    // The typed-path row goes, and what is below it moves up into its place.
    pathRowGone_ = true;
    HWND pathEdit = GetDlgItem(window(), ids::portPathEdit);
    ShowWindow(GetDlgItem(window(), ids::portPathLabel), SW_HIDE);
    ShowWindow(pathEdit, SW_HIDE);
    RECT spacing{0, 0, 0, kRowSpacingUnits};
    MapDialogRect(window(), &spacing);
    const RECT row = controlRect(pathEdit);
    growControl(pathEdit, -(row.bottom - row.top + spacing.bottom));
}

void CConnectDialog::onCommand(int id, int code, HWND control) {
    (void)control;
    if (id >= kFirstSlotId && id < kFirstSlotId + static_cast<int>(slots_.size())) {
        if (code == BN_CLICKED) window_.slotChosen();
        return;
    }
    if (code != BN_CLICKED) return;
    // Escape comes as the Cancel button, as Windows gives it.
    if (id == IDCANCEL) window_.cancelPressed();
    else if (id == ids::connectButton) window_.connectPressed();
    else if (id == ids::offlineButton) window_.offlinePressed();
    else if (id == ids::addPortButton) window_.addPortPressed();
    else if (id == ids::helpButton) window_.helpPressed();
}

bool CConnectDialog::onClose() {
    window_.closeRequested();
    return true;
}

}  // namespace varnel::win32
