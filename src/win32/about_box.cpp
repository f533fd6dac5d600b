#include "win32/about_box.h"

#include "win32/win32_text.h"

namespace varnel::win32 {

void showAboutBox(HWND owner) {
    const std::string text = std::string("varnelcfg ") + VARNEL_VERSION +
                             "\nConfiguration tool for Varnel APRS trackers\nBuilt " + VARNEL_BUILD_DATE;
    MessageBoxW(owner, wideFromUtf8(text).c_str(), L"About varnelcfg", MB_OK | MB_ICONINFORMATION);
}

}  // namespace varnel::win32
