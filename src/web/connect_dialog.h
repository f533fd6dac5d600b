#pragma once

#include <string>
#include <vector>

#include "shell/connect_window.h"
#include "web/page_window.h"

namespace varnel::web {

// The connect window over ConnectWindow, which chooses the port slots (the
// ports the user has granted the page, then the emulated trackers).
class CConnectDialog : public PageView<ConnectView> {
public:
    CConnectDialog(PageLoop& loop, AppContext& context, std::string extraPath);

    void showSlots(const std::vector<PortSlot>& ports) override;
    // The page never shows a typed path (shell/port_slots.h).
    void showChoice(int slot, const std::string& typedPath, bool slowLink) override;
    ConnectChoice choice() const override;
    void setStatus(const std::string& text) override;
    void showControls(const ConnectControls& controls) override;

private:
    void onOpen() override { window_.start(); }
    void onClick(const std::string& name) override;
    void onClose() override { window_.closeRequested(); }
    // The port watch and the hint after a silent wait.
    void onTimer(int id) override { window_.timerTicked(id); }

    ConnectWindow window_;
};

}  // namespace varnel::web
