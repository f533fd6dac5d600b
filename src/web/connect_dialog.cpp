#include "web/connect_dialog.h"

namespace varnel::web {

CConnectDialog::CConnectDialog(PageLoop& loop, AppContext& context, std::string extraPath)
    : PageView(loop, "ConnectDialog"), window_(context, *this, std::move(extraPath)) {}

void CConnectDialog::showSlots(const std::vector<PortSlot>& ports) {
    std::string labels, tips;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (i) labels += '\x1e', tips += '\x1e';
        labels += ports[i].label;
        tips += ports[i].tooltip;
    }
    page::setSlots(token(), "portGroup", labels, tips);
}

void CConnectDialog::showChoice(int slot, const std::string&, bool slowLink) {
    page::checkSlot(token(), "portGroup", slot);
    page::setControl(token(), "slowLinkBox", "check", "", slowLink, -1, 0, true, true, "");
}

ConnectChoice CConnectDialog::choice() const {
    ConnectChoice c;
    c.slot = page::checkedSlot(token(), "portGroup");
    c.slowLink = page::getControl(token(), "slowLinkBox", "check")
                     .find("\x1f"
                           "1\x1f") != std::string::npos;
    c.reloadFirmware = page::getControl(token(), "reloadFirmwareBox", "check")
                           .find("\x1f"
                                 "1\x1f") != std::string::npos;
    return c;
}

void CConnectDialog::setStatus(const std::string& text) { page::setText(token(), "statusLabel", text); }
void CConnectDialog::showControls(const ConnectControls& controls) {
    page::setEnabled(token(), "connectButton", controls.connectEnabled);
    page::setEnabled(token(), "offlineButton", controls.offlineEnabled);
    page::setShown(token(), "addPortButton", controls.addPortShown);
    page::setEnabled(token(), "helpButton", controls.helpEnabled);
    page::setShown(token(), "portPathLabel", controls.typedPathShown);
    page::setShown(token(), "portPathEdit", controls.typedPathShown);
}

void CConnectDialog::onClick(const std::string& name) {
    if (name == "slot") window_.slotChosen();
    else if (name == "connectButton") window_.connectPressed();
    else if (name == "offlineButton") window_.offlinePressed();
    else if (name == "addPortButton") window_.addPortPressed();
    else if (name == "helpButton") window_.helpPressed();
    else if (name == "cancelButton") window_.cancelPressed();
}

}  // namespace varnel::web
