#pragma once

namespace varnel {

class BootLink;
struct Session;

// Reads a connected tracker's configuration: selects the target from the held
// chip name, reads its settings area and (chips that keep one) its script
// area into the flash image, and unpacks them into the working records.
// 0, or -1 after the read's message (the records are then left as they were).
// The session need not be the link's own: a backup reads into a copy.
int readDeviceConfiguration(BootLink& link, Session& session);

}  // namespace varnel
