#include "win32/write_progress_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/accessibility.h"
#include "win32/dialog_ids.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {
namespace ids = dialog_ids::write_progress_dialog;
constexpr int kStart = 1;
// Enough for every window of the program; a window that never validates its
// paint cannot hold the write up.
constexpr int kMaxPaints = 64;
}  // namespace

// The task starts once the window is up.
void CWriteProgressDialog::onInit() { post(kStart); }

void CWriteProgressDialog::onPosted(int what) {
    if (what == kStart) window_.start();
}

void CWriteProgressDialog::showNow() {
    // A dialog box shows a window whose template is not visible only once
    // its queue first runs empty, and the task would hold the queue until it
    // ended: show and paint it now, and let the windows behind repaint where
    // a question box just closed. Only paints are handled here; the rest
    // waits for the task's own turns.
    ShowWindow(window(), SW_SHOW);
    UpdateWindow(window());
    MSG paint;
    for (int n = 0; n < kMaxPaints && PeekMessageW(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++n)
        DispatchMessageW(&paint);
}

void CWriteProgressDialog::showBusy(bool on) {
    if (on) cursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    else SetCursor(cursor_);
}

void CWriteProgressDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return;
    // Escape comes as IDCANCEL.
    if (id == IDOK) window_.okPressed();
    else if (id == IDCANCEL) window_.closeRequested();
}

bool CWriteProgressDialog::onClose() {
    window_.closeRequested();
    return true;
}

void CWriteProgressDialog::showNote(const std::string& statusAndNote) {
    showStatus(statusAndNote);
    makeRoomForStatus(statusAndNote);
}

// The status grows by the note's lines: the label takes the height its text
// needs, and what is below it and the window move down by as much.
void CWriteProgressDialog::makeRoomForStatus(const std::string& status) {
    HWND label = GetDlgItem(window(), ids::statusLabel);
    const RECT r = controlRect(label);
    RECT text = r;
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc, wideFromUtf8(status).c_str(), -1, &text, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    // A long line (the backup's path) widens the window, up to the screen's
    // width; the bar follows and OK stays at the right edge.
    const int wider =
        std::min<int>(text.right - text.left, GetSystemMetrics(SM_CXSCREEN) * 9 / 10) - (r.right - r.left);
    if (wider > 0) {
        RECT w;
        GetWindowRect(window(), &w);
        SetWindowPos(window(), nullptr, 0, 0, w.right - w.left + wider, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER);
        for (HWND c : {label, GetDlgItem(window(), ids::progressBar)}) {
            const RECT cr = controlRect(c);
            SetWindowPos(c, nullptr, 0, 0, cr.right - cr.left + wider, cr.bottom - cr.top, SWP_NOMOVE | SWP_NOZORDER);
        }
        HWND ok = GetDlgItem(window(), IDOK);
        const RECT o = controlRect(ok);
        SetWindowPos(ok, nullptr, o.left + wider, o.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    growControl(label, (text.bottom - text.top) - (r.bottom - r.top));
    centre();
}

void CWriteProgressDialog::showBar(int low, int high, int position) {
    HWND bar = GetDlgItem(window(), ids::progressBar);
    SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    UpdateWindow(bar);
    announceChange(bar);
}

void CWriteProgressDialog::showStatus(const std::string& text) {
    HWND label = GetDlgItem(window(), ids::statusLabel);
    SetWindowTextW(label, wideFromUtf8(text).c_str());
    UpdateWindow(label);
    announceChange(label);
}

}  // namespace varnel::win32
