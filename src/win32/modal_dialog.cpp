#include "win32/modal_dialog.h"

#include <algorithm>
#include <string>

#include "win32/about_box.h"
#include "win32/resource_ids.h"

namespace varnel::win32 {

namespace {

// A system menu command of the program's own: a multiple of 16 below 0xF000.
constexpr UINT kAboutCommand = 0x0010;
constexpr const wchar_t* kAboutEntry = L"&About varnelcfg...";

}  // namespace

void ModalDialog::addAboutEntry() {
    HMENU menu = GetSystemMenu(window_, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAboutCommand, kAboutEntry);
}

void ModalDialog::pause(int ms) {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
            if (dialog && IsDialogMessageW(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void ModalDialog::centre() {
    RECT w, area;
    GetWindowRect(window_, &w);
    HWND owner = GetWindow(window_, GW_OWNER);
    if (owner && IsWindowVisible(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    const int width = w.right - w.left, height = w.bottom - w.top;
    const int x = std::max<int>(area.left, (area.left + area.right - width) / 2);
    const int y = std::max<int>(area.top, (area.top + area.bottom - height) / 2);
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ModalDialog::controlRect(HWND control) const {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ModalDialog::fitToText(HWND label, int minHeight) {
    const RECT r = controlRect(label);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    GetWindowTextW(label, text.data(), static_cast<int>(text.size()));
    RECT need{0, 0, r.right - r.left, 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    growControl(label, std::max<int>(need.bottom - need.top, minHeight) - (r.bottom - r.top));
}

void ModalDialog::growControl(HWND control, int dy) {
    if (dy == 0) return;
    const RECT grown = controlRect(control);
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == control) continue;
        const RECT r = controlRect(child);
        if (r.top >= grown.bottom) SetWindowPos(child, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    SetWindowPos(control, nullptr, 0, 0, grown.right - grown.left, grown.bottom - grown.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT w;
    GetWindowRect(window_, &w);
    SetWindowPos(window_, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + dy, SWP_NOMOVE | SWP_NOZORDER);
}

INT_PTR ModalDialog::run(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), templateName_, owner, dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VARNEL_APP_ICON)))
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        self->onInit();
        // What onInit added or took away may have changed the size that
        // the template was centred with.
        self->centre();
        if (self->whenShown) self->whenShown(*self);
        return self->focusChosen_ ? FALSE : TRUE;
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_COMMAND: self->onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam) self->onScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return TRUE;
    case WM_CLOSE: return self->onClose() ? TRUE : FALSE;
    case WM_TIMER: self->onTimer(static_cast<int>(wParam)); return TRUE;
    case kPostedMessage: self->onPosted(static_cast<int>(wParam)); return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutCommand) {
            showAboutBox(window);
            return TRUE;
        }
        return self->onSysCommand(static_cast<unsigned>(wParam & 0xFFF0)) ? TRUE : FALSE;
    case WM_NOTIFY:
        SetWindowLongPtrW(window, DWLP_MSGRESULT, self->onNotify(*reinterpret_cast<const NMHDR*>(lParam)));
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace varnel::win32
