#include "serial/port_open_reason.h"

namespace varnel {

// The browser hands the page only ports the user granted, and names no
// other program holding one: there is nothing more to say than the open's
// own message.
std::string describePortOpenFailure(const std::string&) { return {}; }
std::string describePortHolder(const std::string&) { return {}; }

}  // namespace varnel
