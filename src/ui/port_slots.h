#pragma once

#include <QString>
#include <vector>

namespace varnel {

// One port the connect dialog offers. On Windows the slots are COM1..COM16;
// elsewhere they are the serial devices found, with a path given on the
// command line first.
struct PortSlot {
    QString path;     // what is opened
    QString label;    // what the radio button says
    QString tooltip;  // description and USB VID:PID, when known
};

inline constexpr int kMaxPortSlots = 16;
// Only these first slots are watched for a tracker being plugged in.
inline constexpr int kWatchedPortSlots = 12;

// The slots in order, at most kMaxPortSlots. extraPath ("" for none) comes first.
std::vector<PortSlot> detectPortSlots(const QString& extraPath);

}  // namespace varnel
