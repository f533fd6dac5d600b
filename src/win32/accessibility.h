#pragma once

#include <windows.h>

#include <string_view>

namespace varnel::win32 {

// The name a screen reader speaks for a control that no caption before it
// names (Windows otherwise takes the static text just before it in the
// template, which may be a unit such as "°"). Set through the accessibility
// annotation service; where that service is missing the control keeps the
// name Windows gives it.
void setAccessibleName(HWND control, std::string_view name);

// Tells screen readers that a control's text changed while the user waits
// (a status line, a reading, a progress bar): they speak a live region when
// it changes, and a focused control's new name or value.
void announceChange(HWND control);

}  // namespace varnel::win32
