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

// New firmware written with the configuration the tracker holds (the
// command line's kept settings, unattended or `flash --keep-settings`): the
// tracker's settings and script are read over the image's and packed back
// with the header packSettingsKeepingHeader chooses, as the desktop
// programs' "keep" answer does. 0, or -1 after the read's message.
int keepDeviceConfiguration(BootLink& link, Session& session);

}  // namespace varnel
