#pragma once

#include <windows.h>

#include "core/user_interface.h"

namespace varnel {
struct LinkState;
}

namespace varnel::win32 {

// The Windows face of the core: message boxes with only OK (Yes/No for a
// question), owned by the active window, and the pump the serial waits call.
// A quit message met while pumping asks the running link attempt to stop
// through linkAbort and is posted again for the loop it was meant for.
class Win32UserInterface : public UserInterface {
public:
    explicit Win32UserInterface(LinkState& link) : link_(link) {}

    void message(const std::string& text, MessageKind kind = MessageKind::Warning) override;
    bool askYesNo(const std::string& text) override;
    bool askYesNoDefaultNo(const std::string& text) override;
    Answer askChoice(const std::string& text, const std::string& first, const std::string& second) override;
    void pump() override;

    // The title every message box carries: the program's name, as a
    // message box without a title of its own shows it.
    static constexpr const wchar_t* kTitle = L"varnelcfg";

private:
    LinkState& link_;
};

}  // namespace varnel::win32
