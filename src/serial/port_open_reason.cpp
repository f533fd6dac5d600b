#include "serial/port_open_reason.h"

#include "serial/port_resolver.h"
#include "serial/serial_messages.h"

namespace varnel {

void PortReasonUi::message(const std::string& text, MessageKind kind) {
    if (text == serial_messages::kCantOpen) {
        // "COM3" or "3" names a listed device: the reason is about that one.
        const std::string reason = describePortOpenFailure(resolvePortName(path_));
        if (!reason.empty()) {
            inner_.message(text + "\n" + reason, kind);
            return;
        }
    }
    inner_.message(text, kind);
}

}  // namespace varnel
