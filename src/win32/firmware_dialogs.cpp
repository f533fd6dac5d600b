#include "win32/firmware_dialogs.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "win32/dialog_ids.h"
#include "win32/win32_text.h"

namespace varnel::win32 {

namespace init_ids = dialog_ids::firmware_init_dialog;
namespace download_ids = dialog_ids::firmware_download_dialog;

CFirmwareInitDialog::CFirmwareInitDialog(AppContext& context) : ModalDialog(L"FirmwareInitDialog"), window_(context) {}

void CFirmwareInitDialog::onInit() {
    if (const auto text = window_.messageText())
        SetDlgItemTextW(window(), init_ids::messageLabel, wideFromUtf8(*text).c_str());
    SetDlgItemTextW(window(), init_ids::hardwareLabel, wideFromUtf8(window_.hardwareText()).c_str());
}

void CFirmwareInitDialog::onCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && id == init_ids::fileButton) return finishIfWritten(window_.filePressed());
    if (code == BN_CLICKED && id == init_ids::networkButton) return finishIfWritten(window_.networkPressed());
    ModalDialog::onCommand(id, code, control);
}

void CFirmwareInitDialog::finishIfWritten(int result) {
    if (result != 0) finish(result);
}

CFirmwareDownloadDialog::CFirmwareDownloadDialog(AppContext& context)
    : ModalDialog(L"FirmwareDownloadDialog"), window_(context) {}

void CFirmwareDownloadDialog::onInit() {
    HWND list = GetDlgItem(window(), download_ids::releaseList);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    // The column headings come in the template's caption, "a|b|c"; the
    // description gets most of the width.
    wchar_t caption[256] = {};
    GetWindowTextW(list, caption, 256);
    std::vector<std::wstring> headings;
    for (std::wstring rest = caption; !rest.empty();) {
        const std::size_t bar = rest.find(L'|');
        headings.push_back(rest.substr(0, bar));
        rest = bar == std::wstring::npos ? L"" : rest.substr(bar + 1);
    }
    RECT r;
    GetClientRect(list, &r);
    const int shares[] = {60, 15, 25};
    for (std::size_t i = 0; i < headings.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = headings[i].data();
        column.cx = (r.right - r.left) * shares[i < 3 ? i : 2] / 100;
        ListView_InsertColumn(list, static_cast<int>(i), &column);
    }
    int row = 0;
    for (const FirmwareRelease& release : window_.releases()) {
        std::wstring texts[] = {wideFromUtf8(release.description), wideFromUtf8(release.date),
                                wideFromUtf8(release.file)};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = texts[0].data();
        ListView_InsertItem(list, &item);
        for (int sub = 1; sub < 3; ++sub) ListView_SetItemText(list, row, sub, texts[sub].data());
        ++row;
    }
}

void CFirmwareDownloadDialog::accept() {
    const int row = ListView_GetNextItem(GetDlgItem(window(), download_ids::releaseList), -1, LVNI_SELECTED);
    if (window_.okPressed(row)) finish(IDOK);
}

void CFirmwareDownloadDialog::onCommand(int id, int code, HWND control) {
    if (id == IDOK && code == BN_CLICKED) return accept();
    ModalDialog::onCommand(id, code, control);
}

LRESULT CFirmwareDownloadDialog::onNotify(const NMHDR& header) {
    if (header.code == NM_DBLCLK && static_cast<int>(header.idFrom) == download_ids::releaseList) accept();
    return 0;
}

}  // namespace varnel::win32
