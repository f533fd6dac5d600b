#include "win32/listing_dialog.h"

#include <string>

#include "script/script_listings.h"
#include "win32/dialog_ids.h"
#include "shell/app_context.h"
#include "shell/front_end.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {
constexpr const char* kTextFilter = "Text Files (*.txt)";
namespace ids = dialog_ids::listing_dialog;
}  // namespace

CListingDialog::CListingDialog(std::string title, std::string text, AppContext& context)
    : ModalDialog(L"ListingDialog"), title_(std::move(title)), text_(std::move(text)), context_(context) {}

CListingDialog::~CListingDialog() {
    if (font_) DeleteObject(font_);
}

void CListingDialog::onInit() {
    SetWindowTextW(window(), wideFromUtf8(title_).c_str());
    HWND box = GetDlgItem(window(), ids::listingText);
    // A fixed-pitch font, so the columns of a listing line up.
    font_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // The listing's lines end in "\r\n" already, as a Windows edit box wants.
    SetWindowTextW(box, wideFromBytes(text_).c_str());
    widenForFullLines(box);
    // The focus on OK, so that the text is not shown selected.
    setInitialFocus(GetDlgItem(window(), IDOK));
}

// Wide enough for a full patch line (6 + 5 + 2 + 64 characters) without
// scrolling sideways: the window, the text box and the OK button at its
// right edge move by what the box lacks.
void CListingDialog::widenForFullLines(HWND box) {
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE line{};
    GetTextExtentPoint32W(dc, std::wstring(80, L'0').c_str(), 80, &line);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    RECT edit;
    GetClientRect(box, &edit);
    const int grow = line.cx + GetSystemMetrics(SM_CXVSCROLL) + 8 - (edit.right - edit.left);
    if (grow <= 0) return;
    auto resizeBy = [&](HWND w, int dx, int dw) {
        RECT r;
        GetWindowRect(w, &r);
        if (w != window()) MapWindowPoints(HWND_DESKTOP, window(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(w, nullptr, r.left + dx, r.top, r.right - r.left + dw, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | (w == window() ? SWP_NOMOVE : 0));
    };
    resizeBy(window(), 0, grow);
    resizeBy(box, 0, grow);
    resizeBy(GetDlgItem(window(), IDOK), grow, 0);
}

void CListingDialog::onCommand(int id, int code, HWND control) {
    if (id == ids::saveButton && code == BN_CLICKED) {
        const std::string path = context_.files.saveFile(kTextFilter, "txt");
        if (!path.empty()) saveListingFile(path, text_, context_.ui);
        return;
    }
    ModalDialog::onCommand(id, code, control);
}

}  // namespace varnel::win32
