#pragma once

#include <string>
#include <vector>

#include "shell/connect_window.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The connect window: a radio button per port slot (made when the shell
// says which there are), the slow-link and reload boxes, a status line; its
// events go to the shell's ConnectWindow, which picks, remembers, watches
// and connects.
class CConnectDialog : public ModalDialog, public DialogHost<ConnectView, CConnectDialog> {
public:
    CConnectDialog(AppContext& context, std::string extraPath, PortQuery query = {});
    ~CConnectDialog() override;

    void showSlots(const std::vector<PortSlot>& ports) override;
    void showChoice(int slot, const std::string& typedPath, bool slowLink) override;
    ConnectChoice choice() const override;
    void setStatus(const std::string& text) override;
    void showControls(const ConnectControls& controls) override;

    ConnectWindow& behaviour() { return window_; }
    // The radio button of slot n (1-based), nullptr beyond the slots.
    HWND slotButton(int slot) const;

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    void onTimer(int id) override { window_.timerTicked(id); }
    bool onClose() override;

    ConnectWindow window_;
    std::vector<HWND> slots_;
    HWND tooltips_ = nullptr;
    int statusHeight_ = 0;  // the layout's, in pixels
    bool pathRowGone_ = false;
    HFONT presentFont(HFONT font);
    HFONT boldFont_ = nullptr;
};

}  // namespace varnel::win32
