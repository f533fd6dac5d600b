#include "win32/listing_dialog.h"

#include "script/script_listings.h"
#include "win32/dialog_ids.h"
#include "win32/file_dialogs.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {
constexpr const char* kTextFilter = "Text Files (*.txt)";
namespace ids = dialog_ids::listing_dialog;
}  // namespace

CListingDialog::CListingDialog(std::string text, UserInterface& ui)
    : ModalDialog(L"ListingDialog"), text_(std::move(text)), ui_(ui) {}

CListingDialog::~CListingDialog() {
    if (font_) DeleteObject(font_);
}

void CListingDialog::onInit() {
    HWND box = GetDlgItem(window(), ids::listingText);
    // A fixed-pitch font, so the columns of a listing line up.
    font_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // The listing's lines end in "\r\n" already, as a Windows edit box wants.
    SetWindowTextW(box, wideFromBytes(text_).c_str());
}

void CListingDialog::onCommand(int id, int code, HWND control) {
    if (id == ids::saveButton && code == BN_CLICKED) {
        const std::string path = chooseSaveFile(window(), kTextFilter, "txt");
        if (!path.empty()) saveListingFile(path, text_, ui_);
        return;
    }
    ModalDialog::onCommand(id, code, control);
}

void showListing(HWND owner, const std::string& text, UserInterface& ui) { CListingDialog(text, ui).run(owner); }

}  // namespace varnel::win32
