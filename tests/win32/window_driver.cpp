#include "window_driver.h"

namespace varnel::test {

namespace {

// The one driven window of the test thread: timer procedures carry no
// context of their own.
std::function<void(HWND)> pendingDrive;

void CALLBACK onShownTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    auto drive = std::move(pendingDrive);
    pendingDrive = nullptr;
    if (drive) drive(window);
}

}  // namespace

INT_PTR runDriven(win32::ModalDialog& dialog, std::function<void(HWND)> drive) {
    pendingDrive = std::move(drive);
    dialog.whenShown = [](win32::ModalDialog& d) {
        // A timer message comes after the window has been shown and painted.
        SetTimer(d.window(), 0x7E57, 150, onShownTimer);
    };
    return dialog.run(nullptr);
}

void postClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace varnel::test
