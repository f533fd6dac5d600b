#pragma once

#include <string>

namespace varnel {

// Everything the core needs from whoever drives it: an OK-only message, a
// yes/no question, and a chance to keep the interface alive during long serial
// waits. The GUI shows message boxes and runs the event loop; the CLI writes to
// stderr; tests record what was said.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual void message(const std::string& text) = 0;
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void pump() {}
};

}  // namespace varnel
