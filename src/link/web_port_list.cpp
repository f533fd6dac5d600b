#include "link/port_resolver.h"

namespace varnel {

// The page's ports are the ones its connect window offers (the emulated
// trackers and the ports the user has granted); there is no system list of
// device paths to resolve names against.
std::vector<PortDescription> listSerialPorts() { return {}; }

}  // namespace varnel
