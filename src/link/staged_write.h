#pragma once

#include <cstdint>
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

// How a write ended: 0, or -1 after the failure's message and
// "Configuration write failed"; and the image address where it stopped,
// which is where the last of its ranges stopped.
struct WriteResult {
    int status = 0;
    std::uint32_t stoppedAt = 0;
};

// After a failed writeImage: which area is incomplete, and that the tracker
// can be written again (or that nothing was written).
std::string writeFailureNote(const BootLink& link, const WriteResult& result);

// Writes the touched part of the link's image into the tracker. Settings, and
// firmware for most chips, go in one pass. JM128 firmware (image address 0
// touched) goes in the three stages of staged_load.
// Every block is read back; JM128's staged part is read back before 'U', the
// reply to 'U' must be the acknowledgement, and the low part is read back
// after it.
// The status ends at "Finished!" ("Write failed!" after a failure) with the
// bar one step short of full.
WriteResult writeImage(BootLink& link, WriteProgress& view);

}  // namespace varnel
