#pragma once

#include <windows.h>

#include <functional>

namespace varnel::win32 {

// A modal dialog over a template of the generated resources (named by the
// Designer file's class, "SmartBeaconDialog"...). Concrete windows handle
// the events they care for; every window of the program is one of these.
class ModalDialog {
public:
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the window and returns the result it ended with (IDOK, IDCANCEL
    // or the window's own), or -1 when it could not be created.
    INT_PTR run(HWND owner);

    HWND window() const { return window_; }
    // The template it was made from: the layout's name ("SmartBeaconDialog").
    const wchar_t* templateName() const { return templateName_; }

    // What the shell's window behaviours ask of their window (see
    // window_host.h): timers by id, each tick to onTimer; keeping the window
    // alive for a while; closing it with a result.
    void startWindowTimer(int id, int intervalMs) {
        SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(intervalMs), nullptr);
    }
    void stopWindowTimer(int id) { KillTimer(window_, static_cast<UINT_PTR>(id)); }
    static void pause(int ms);
    void finish(INT_PTR result) { EndDialog(window_, result); }

    // Called once the window is set up and showing its controls, before the
    // user can act; tests drive the window from here with posted messages.
    std::function<void(ModalDialog&)> whenShown;

protected:
    explicit ModalDialog(const wchar_t* templateName) : templateName_(templateName) {}

    virtual void onInit() {}
    virtual void onCommand(int id, int code, HWND control) {
        if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) finish(id);
        (void)control;
    }
    virtual void onScroll(HWND control, int code) { (void)control, (void)code; }
    virtual LRESULT onNotify(const NMHDR& header) {
        (void)header;
        return 0;
    }
    virtual void onTimer(int id) { (void)id; }
    // The window's close button; true when handled (else it is Cancel).
    virtual bool onClose() { return false; }
    // A command of the system menu beyond the about entry; true when handled.
    virtual bool onSysCommand(unsigned command) {
        (void)command;
        return false;
    }
    // A message the window posted to itself with post(what), handled once
    // the messages before it are (after the window first appears, when
    // posted from onInit).
    virtual void onPosted(int what) { (void)what; }
    void post(int what) { PostMessageW(window_, kPostedMessage, static_cast<WPARAM>(what), 0); }

    // Adds "About varnelcfg..." to the window's system menu.
    void addAboutEntry();
    // Makes a control taller by dy pixels (shorter when negative): the
    // controls below it and the window's bottom edge move as much.
    void growControl(HWND control, int dy);
    // Makes a label as tall as its text needs at its width, never shorter
    // than minHeight pixels (through growControl).
    void fitToText(HWND label, int minHeight);
    // Centres the window over its owner, or on the screen.
    void centre();
    // The control's rectangle in the window's client coordinates.
    RECT controlRect(HWND control) const;
    // During onInit: the control that starts with the focus (else the
    // first that takes it).
    void setInitialFocus(HWND control) {
        SetFocus(control);
        focusChosen_ = true;
    }

private:
    static constexpr UINT kPostedMessage = WM_APP + 1;
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const wchar_t* templateName_;
    HWND window_ = nullptr;
    bool focusChosen_ = false;
};

}  // namespace varnel::win32
