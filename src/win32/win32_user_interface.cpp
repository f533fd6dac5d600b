#include "win32/win32_user_interface.h"

#include "device/device_info.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {

// The window a message box belongs to: the active window of this thread,
// so that the box is modal over the dialog that raised it.
HWND owner() { return GetActiveWindow(); }

}  // namespace

void Win32UserInterface::message(const std::string& text) {
    MessageBoxW(owner(), wideFromUtf8(text).c_str(), kTitle, MB_OK | MB_ICONEXCLAMATION);
}

bool Win32UserInterface::askYesNo(const std::string& text) {
    return MessageBoxW(owner(), wideFromUtf8(text).c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
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
