#include "win32/win32_user_interface.h"

#include <commctrl.h>

#include "device/device_info.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {

// The window a message box belongs to: the active window of this thread,
// so that the box is modal over the dialog that raised it.
HWND owner() { return GetActiveWindow(); }

// The question opens centred over the window that asks it, as a message box
// does; left to itself a task dialog may open at that window's corner.
HRESULT CALLBACK centreOverOwner(HWND dialog, UINT notification, WPARAM, LPARAM, LONG_PTR ownerWindow) {
    const HWND over = reinterpret_cast<HWND>(ownerWindow);
    if (notification != TDN_CREATED || !over) return S_OK;
    RECT o, d;
    GetWindowRect(over, &o);
    GetWindowRect(dialog, &d);
    const int x = (o.left + o.right - (d.right - d.left)) / 2;
    const int y = (o.top + o.bottom - (d.bottom - d.top)) / 2;
    SetWindowPos(dialog, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

}  // namespace

void Win32UserInterface::message(const std::string& text, MessageKind kind) {
    const UINT icon = kind == MessageKind::Information ? MB_ICONINFORMATION
                      : kind == MessageKind::Error     ? MB_ICONERROR
                                                       : MB_ICONWARNING;
    MessageBoxW(owner(), wideFromUtf8(text).c_str(), kTitle, MB_OK | icon);
}

bool Win32UserInterface::askYesNo(const std::string& text) {
    return MessageBoxW(owner(), wideFromUtf8(text).c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Win32UserInterface::askYesNoDefaultNo(const std::string& text) {
    return MessageBoxW(owner(), wideFromUtf8(text).c_str(), kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

// A task dialog carries the two answers on buttons of their own. It lives in
// version 6 of the common controls, which the manifest asks for; it is looked
// up at run time so that a program without that manifest still starts, and
// asks with Yes/No/Cancel instead. Escape and the close button are Cancel.
UserInterface::Answer Win32UserInterface::askChoice(const std::string& text, const std::string& first,
                                                    const std::string& second) {
    using TaskDialogFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    const auto taskDialog =
        controls
            ? reinterpret_cast<TaskDialogFn>(reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")))
            : nullptr;
    int pressed = IDCANCEL;
    if (taskDialog) {
        const std::wstring body = wideFromUtf8(text), one = wideFromUtf8(first), two = wideFromUtf8(second);
        const TASKDIALOG_BUTTON buttons[] = {{IDYES, one.c_str()}, {IDNO, two.c_str()}};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = owner();
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
        config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
        config.pszWindowTitle = kTitle;
        config.pszMainIcon = TD_WARNING_ICON;
        config.pszContent = body.c_str();
        config.cButtons = 2;
        config.pButtons = buttons;
        config.nDefaultButton = IDYES;
        config.pfCallback = centreOverOwner;
        config.lpCallbackData = reinterpret_cast<LONG_PTR>(config.hwndParent);
        if (FAILED(taskDialog(&config, &pressed, nullptr, nullptr))) pressed = IDCANCEL;
    } else {
        const std::string asked = text + "\n\nYes: " + first + "    No: " + second;
        pressed = MessageBoxW(owner(), wideFromUtf8(asked).c_str(), kTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    return pressed == IDYES ? Answer::First : pressed == IDNO ? Answer::Second : Answer::Cancel;
}

void Win32UserInterface::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            link_.linkAbort = 1;
            PostQuitMessage(-1);
            return;
        }
        // Keyboard navigation (Tab, Enter, Escape) of the dialog the message
        // is for, as the dialog's own loop would give it.
        HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
        if (dialog && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace varnel::win32
