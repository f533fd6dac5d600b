#pragma once

#include <string>

namespace varnel {

class BootLink;
class WriteProgress;

// Status texts of a write, in the order they appear.
namespace write_status {
inline constexpr const char* kStandBy = "Stand by, writing data...";
inline constexpr const char* kStage1 = "Loading firmware, stage 1 of 3...";
inline constexpr const char* kStage2 = "Loading firmware, stage 2 of 3...";
inline constexpr const char* kStage3 = "Loading firmware, stage 3 of 3...";
inline constexpr const char* kFinished = "Finished!";
// A write that failed ends here instead: "Finished!" would read as success.
inline constexpr const char* kFailed = "Write failed!";
}  // namespace write_status

// What a failed write leaves: "%s" the area, "%04x" where the write stopped.
inline constexpr const char* kIncompleteArea =
    "The tracker's %s from 0x%04x on is incomplete. Its bootloader is intact, so the tracker "
    "can be written again.";
// ... or, when the write failed before its first erase, that nothing changed.
inline constexpr const char* kNothingWritten =
    "Nothing was written: the tracker holds what it held before, and can be written again.";
inline constexpr const char* kAreaSettings = "settings area";
inline constexpr const char* kAreaScript = "script area";
inline constexpr const char* kAreaFirmware = "firmware";

// After a failed writeImage: which area is incomplete, and that the tracker
// can be written again (or that nothing was written).
std::string writeFailureNote(const BootLink& link);

// Writes the touched part of the link's image into the tracker. Settings, and
// firmware for most chips, go in one pass. JM128 firmware (image address 0
// touched) goes in three stages: its bootloader cannot overwrite the low
// 0x7000 bytes it runs beside, so they are written 0x10000 higher, taken over
// with 'U', and then the rest is written in place.
// Every block is read back; JM128's staged part is read back before 'U', the
// reply to 'U' must be the acknowledgement, and the low part is read back
// after it.
// 0, or -1 after the failure's message and "Configuration write failed".
// The status ends at "Finished!" ("Write failed!" after a failure) with the
// bar one step short of full.
int writeImage(BootLink& link, WriteProgress& progress);

// The JM128 load: where stage 1 stages the low part, and the spans.
namespace staged_load {
inline constexpr unsigned kLowPartEnd = 0x7000;
inline constexpr unsigned kStagingOffset = 0x10000;
inline constexpr unsigned kForcedTouchedEnd = 0x17000;  // stages 1 and 3 write all below this
// Stage 3 ends before the chip's last byte, as the tracker firmware expects.
inline constexpr unsigned kStage3End = 0x1FFFF;
}  // namespace staged_load

}  // namespace varnel
