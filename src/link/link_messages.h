#pragma once

namespace varnel::link_messages {

// What the link tells the user; "%04x" takes a byte address.
inline constexpr const char* kErrorReceiving = "Error receiving data from device";
inline constexpr const char* kUnableToErase = "Unable to erase block at 0x%04x";
inline constexpr const char* kUnableToProgram = "Unable to program block at 0x%04x";
inline constexpr const char* kUnableToVerify = "Unable to verify block at 0x%04x";
inline constexpr const char* kVerifyError = "Verify error at block 0x%04x";
// Shown by the callers of connect for the results they own.
inline constexpr const char* kCommunicationsError = "Communications error\n(BL Ver %02x)";
inline constexpr const char* kWrongTarget = "Wrong target device type!";
// The second line under it: the chip the settings held are for, then the
// chip of the tracker that answered.
inline constexpr const char* kWrongTargetChips = "The settings are for %s; this tracker is %s.";
// A stop asked for (Ctrl-C in a fleet run) lands between two erase blocks.
inline constexpr const char* kStoppedAtBlock = "Stopped as asked before the block at 0x%04x";
inline constexpr const char* kConfigWriteFailed = "Configuration write failed";

// No two reads of the same memory agreed (or the line reported errors on each).
inline constexpr const char* kUnreliableRead =
    "The tracker's replies were not the same twice, so none of them was used: the serial line "
    "garbles data. Check the cable and its connections (a shorter cable, away from the "
    "transmitter), or connect again with \"Use slow connection\".";
// Added to the communications error when the identification records disagreed.
inline constexpr const char* kUnreliableIdentification =
    "The tracker's identification was not the same twice: the serial line garbles data. Check "
    "the cable, or connect again with \"Use slow connection\".";
// The fast link garbled past its retries and the work went on without the
// speed switch: the fast speed, then the bootloader's.
inline constexpr const char* kWentOnSlower = "The line garbled data at %s baud; went on at %s baud.";
// A write lost step with the bootloader and could not find it again.
inline constexpr const char* kLinkLost = "The tracker stopped answering in step and could not be found again.";
// A write that missed its own place was found one flipped address bit away,
// reaching outside what is being written: no retry can take those bytes back.
inline constexpr const char* kStrayWrite = "Block for 0x%04x written astray at 0x%04x";
inline constexpr const char* kStrayWriteRemedy =
    "The line changed the address of a block, so flash outside this write has changed. Write "
    "again; if the tracker then misbehaves, load its firmware again.";
// The low part, committed and checked, changed again during the last stage.
inline constexpr const char* kLowPartChanged =
    "The firmware's low part changed again after it was written. Check the cable, or connect again with "
    "\"Use slow connection\".";
// The commit of the staged low part was not confirmed.
inline constexpr const char* kCommitFailed = "The tracker did not confirm taking over the staged firmware.";

}  // namespace varnel::link_messages
