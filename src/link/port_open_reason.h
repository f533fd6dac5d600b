#pragma once

#include <string>

namespace varnel {

// Why a serial device cannot be opened, in words a user can act on ("" when
// it opens now or the reason is nothing we can help with): no permission
// (which group to join), or another program holding the port.
std::string describePortOpenFailure(const std::string& path);

}  // namespace varnel
