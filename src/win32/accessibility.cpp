#include "win32/accessibility.h"

// The annotation service's class and property ids are defined here, in the
// one file that uses them.
#include <initguid.h>
#include <oleacc.h>

#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {
// Windows 8 and later speak a live region's change; the program also runs
// on Windows 7, whose headers leave the event out (an older Windows ignores
// it).
#ifdef EVENT_OBJECT_LIVEREGIONCHANGED
constexpr DWORD kLiveRegionChanged = EVENT_OBJECT_LIVEREGIONCHANGED;
#else
constexpr DWORD kLiveRegionChanged = 0x8019;
#endif
}  // namespace

void setAccessibleName(HWND control, std::string_view name) {
    if (!control || name.empty()) return;
    // COM may not be started on this thread yet; an annotation outlives the
    // service object that set it, so COM is held only for the call.
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* service = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void**>(&service))) &&
        service) {
        const std::wstring text = wideFromUtf8(name);
        service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, text.c_str());
        service->Release();
    }
    if (SUCCEEDED(started)) CoUninitialize();
}

void announceChange(HWND control) {
    if (!control) return;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace varnel::win32
