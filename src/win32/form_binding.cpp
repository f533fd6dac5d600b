#include "win32/form_binding.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "win32/accessibility.h"
#include "win32/slider_value_id.h"
#include "win32/win32_text.h"

namespace varnel::win32::control_binding {

namespace {

std::wstring className(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

std::wstring windowText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setText(HWND control, const std::wstring& text) {
    // Rewriting an unchanged text would move the caret while typing.
    if (windowText(control) != text) SetWindowTextW(control, text.c_str());
}

LONG buttonType(HWND control) { return GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK; }

bool sameEntries(HWND control, const std::vector<ListEntry>& entries, UINT countMsg, UINT lengthMsg, UINT textMsg,
                 UINT dataMsg, bool utf8) {
    const LRESULT count = SendMessageW(control, countMsg, 0, 0);
    if (count != static_cast<LRESULT>(entries.size())) return false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(control, lengthMsg, i, 0)) + 1, L'\0');
        SendMessageW(control, textMsg, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        const std::wstring wanted = utf8 ? wideFromUtf8(entries[i].text) : wideFromBytes(entries[i].text);
        if (text != wanted) return false;
        if (dataMsg && SendMessageW(control, dataMsg, i, 0) != entries[i].data) return false;
    }
    return true;
}

void fillCombo(HWND box, const FormControl& c) {
    if (!sameEntries(box, c.entries, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETITEMDATA, true)) {
        SendMessageW(box, CB_RESETCONTENT, 0, 0);
        for (const ListEntry& e : c.entries) {
            const LRESULT at =
                SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(e.text).c_str()));
            SendMessageW(box, CB_SETITEMDATA, static_cast<WPARAM>(at), e.data);
        }
    }
    const int count = static_cast<int>(c.entries.size());
    SendMessageW(box, CB_SETCURSEL, c.selected >= 0 && c.selected < count ? c.selected : -1, 0);
}

// A list box keeps its scroll position where its rows are unchanged, so an
// added, moved or deleted row does not throw a long list back to its top;
// the chosen row is then scrolled into view.
void fillListBox(HWND list, const FormControl& c) {
    if (!sameEntries(list, c.entries, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, 0, false)) {
        const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const ListEntry& e : c.entries)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromBytes(e.text).c_str()));
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    const int count = static_cast<int>(c.entries.size());
    SendMessageW(list, LB_SETCURSEL, c.selected >= 0 && c.selected < count ? c.selected : -1, 0);
}

void fillTabs(HWND tabs, const FormControl& c) {
    bool same = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(c.entries.size());
    for (std::size_t i = 0; same && i < c.entries.size(); ++i) {
        wchar_t text[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        same = wideFromUtf8(c.entries[i].text) == text;
    }
    if (!same) {
        SendMessageW(tabs, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            std::wstring text = wideFromUtf8(c.entries[i].text);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(c.position), 0);
}

// A typing limit limits typing only: Windows keeps a longer text that is set,
// but the limit is widened to it so that typing into it is not refused at
// once.
void fillEdit(HWND edit, int typingLimit, const std::string& text) {
    if (typingLimit > 0)
        SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max<std::size_t>(typingLimit, text.size())), 0);
    setText(edit, wideFromBytes(text));
}

// A trackbar's range is written into its template caption by the template
// generator ("min,max,page"), since a dialog template has no place for it.
void takeSliderRange(HWND slider) {
    const std::string range = utf8FromWide(windowText(slider));
    int minimum = 0, maximum = 100, page = 0;
    if (std::sscanf(range.c_str(), "%d,%d,%d", &minimum, &maximum, &page) >= 2) {
        SendMessageW(slider, TBM_SETRANGEMIN, FALSE, minimum);
        SendMessageW(slider, TBM_SETRANGEMAX, TRUE, maximum);
        if (page > 0) SendMessageW(slider, TBM_SETPAGESIZE, 0, page);
    }
}

}  // namespace

bool isKind(HWND control, ControlType type) {
    const std::wstring cls = className(control);
    auto is = [&](const wchar_t* name) { return CompareStringOrdinal(cls.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL; };
    switch (type) {
    case ControlType::Tab: return is(WC_TABCONTROLW);
    case ControlType::Group: return is(L"Button") && buttonType(control) == BS_GROUPBOX;
    case ControlType::Label: return is(L"Static");
    case ControlType::Edit: return is(L"Edit");
    case ControlType::DigitEdit: return is(L"Edit") && (GetWindowLongW(control, GWL_STYLE) & ES_NUMBER);
    case ControlType::Check: return is(L"Button") && buttonType(control) == BS_AUTOCHECKBOX;
    case ControlType::ThreeState: return is(L"Button") && buttonType(control) == BS_AUTO3STATE;
    case ControlType::Radio: return is(L"Button") && buttonType(control) == BS_AUTORADIOBUTTON;
    case ControlType::Button:
        return is(L"Button") && (buttonType(control) == BS_PUSHBUTTON || buttonType(control) == BS_DEFPUSHBUTTON);
    case ControlType::List: return is(L"ComboBox");
    case ControlType::Slider: return is(TRACKBAR_CLASSW);
    case ControlType::ListBox: return is(L"ListBox");
    }
    return false;
}

HWND createTooltips(HWND dialog) {
    HWND tips =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tips) SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 400);
    return tips;
}

HWND find(HWND dialog, HWND tooltips, int id, ControlType type, int typingLimit, std::string_view tooltip,
          std::string_view accessibleName) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || !isKind(control, type)) return nullptr;
    if (typingLimit > 0 && (type == ControlType::Edit || type == ControlType::DigitEdit))
        SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(typingLimit), 0);
    if (type == ControlType::Slider) takeSliderRange(control);
    if (tooltips && !tooltip.empty()) {
        std::wstring text = wideFromUtf8(tooltip);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text.data();
        SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    setAccessibleName(control, accessibleName);
    return control;
}

void takeCaption(HWND control, FormControl& c) {
    if (!c.text.empty()) return;
    const std::wstring cls = className(control);
    if (CompareStringOrdinal(cls.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL ||
        CompareStringOrdinal(cls.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL)
        c.text = utf8FromWide(windowText(control));
}

// True when the text fits the static control's width in its own font.
static bool fits(HWND label, const std::wstring& text) {
    RECT box{};
    GetClientRect(label, &box);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return size.cx <= box.right - box.left;
}

void toControl(HWND control, ControlType type, int typingLimit, const FormControl& c) {
    switch (type) {
    case ControlType::Tab: fillTabs(control, c); break;
    case ControlType::Group:
    case ControlType::Label:
    case ControlType::Button: setText(control, wideFromUtf8(c.text)); break;
    case ControlType::Edit:
    case ControlType::DigitEdit: fillEdit(control, typingLimit, c.text); break;
    case ControlType::Check:
    case ControlType::Radio:
        setText(control, wideFromUtf8(c.text));
        SendMessageW(control, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ControlType::List: fillCombo(control, c); break;
    case ControlType::Slider:
        SendMessageW(control, TBM_SETPOS, TRUE, c.position);
        // The label beside it, where the layout has one; a value the label
        // is too narrow for is left out rather than shown cut.
        if (HWND value = GetDlgItem(GetParent(control), GetDlgCtrlID(control) + kSliderValueIdOffset))
            SetWindowTextW(value, fits(value, std::to_wstring(c.position)) ? std::to_wstring(c.position).c_str() : L"");
        break;
    case ControlType::ListBox: fillListBox(control, c); break;
    case ControlType::ThreeState:
        // The form counts 0 unchecked, 1 checked, 2 indeterminate, as Windows does.
        SendMessageW(control, BM_SETCHECK,
                     c.position == 1   ? BST_CHECKED
                     : c.position == 2 ? BST_INDETERMINATE
                                       : BST_UNCHECKED,
                     0);
        break;
    }
    if (static_cast<bool>(IsWindowEnabled(control)) != c.enabled) EnableWindow(control, c.enabled);
    const bool visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != c.visible) ShowWindow(control, c.visible ? SW_SHOWNA : SW_HIDE);
}

void fromControl(HWND control, ControlType type, FormControl& c) {
    switch (type) {
    case ControlType::Edit:
    case ControlType::DigitEdit: c.text = bytesFromWide(windowText(control)); break;
    case ControlType::Check:
    case ControlType::Radio: c.checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED; break;
    case ControlType::List: c.selected = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)); break;
    case ControlType::Slider: c.position = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0)); break;
    case ControlType::ListBox: c.selected = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0)); break;
    case ControlType::ThreeState: {
        const LRESULT state = SendMessageW(control, BM_GETCHECK, 0, 0);
        c.position = state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
        break;
    }
    default: break;  // the tab position, captions and states belong to the form
    }
}

void forward(int id, ControlType type, int code, HWND control, ControlEvents& events) {
    switch (type) {
    case ControlType::Edit:
    case ControlType::DigitEdit:
        if (code == EN_CHANGE) events.edited(id);
        break;
    case ControlType::List:
        if (code == CBN_SELCHANGE) events.edited(id);
        break;
    case ControlType::Radio:
        // Only the button turned on reports the change.
        if (code == BN_CLICKED && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) events.clicked(id);
        break;
    case ControlType::Button:
    case ControlType::Check:
        if (code == BN_CLICKED) events.clicked(id);
        break;
    default: break;
    }
}

void forwardNotify(const NMHDR& header, ControlType type, ControlEvents& events) {
    if (type == ControlType::Tab && header.code == TCN_SELCHANGE)
        events.tabChanged(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
}

}  // namespace varnel::win32::control_binding
