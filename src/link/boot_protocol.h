#pragma once

#include <array>
#include <cstdint>

namespace varnel::boot_protocol {

// The resident bootloader announces itself with this byte, the host answers
// it, and every erase and write is confirmed with it.
inline constexpr std::uint8_t kAck = 0xFC;

inline constexpr std::uint8_t kIdentify = 'I';
inline constexpr std::uint8_t kRead = 'R';
inline constexpr std::uint8_t kErase = 'E';
inline constexpr std::uint8_t kWrite = 'W';
inline constexpr std::uint8_t kWriteChecked = 'V';
inline constexpr std::uint8_t kCommitStaged = 'U';
inline constexpr std::uint8_t kLeave = 'Q';
inline constexpr std::uint8_t kSwitch115200 = 'H';
inline constexpr std::uint8_t kSwitch57600 = 'T';

// Capability letters in the device id that offer the faster line speeds.
inline constexpr char kCapability115200 = 'H';
inline constexpr char kCapability57600 = 'T';

// The bootloader always listens at 19200; the running firmware may use any
// of the probe speeds, tried in this order.
inline constexpr const char* kBootloaderSpeed = "19200";
inline constexpr const char* kFirstOpenSpeed = "4800";
inline constexpr std::array<const char*, 8> kProbeSpeeds{"4800",  "9600",   "19200", "38400",
                                                         "57600", "115200", "1200",  "2400"};

// What makes a running tracker jump into its bootloader, whatever its serial
// mode: a command-line request in two spellings, then a KISS frame with the
// reset command byte 0xFE.
inline constexpr std::array<std::uint8_t, 7> kResetCommandLine{0x0D, '$', '~', 'R', '$', '~', 'R'};
inline constexpr std::array<std::uint8_t, 9> kResetComment{'/', '*', 'r', 'e', 's', 'e', 't', '*', '/'};
inline constexpr std::array<std::uint8_t, 3> kResetKiss{0xC0, 0xFE, 0xC0};

// Wire limits: a two-byte address field and a one-byte length.
inline constexpr std::uint32_t kAddressFieldLimit = 0x10000;
inline constexpr std::uint32_t kByteAddressLimit = 0x40000;
inline constexpr int kMaxLength = 255;
// Reads go in chunks no longer than this.
inline constexpr std::uint32_t kReadChunk = 128;

// How long the announce window lasts, and how long a silent device is given
// to confirm an erase, a write or a commit before the command counts as failed.
inline constexpr int kAnnounceWindowMs = 500;
inline constexpr int kReplyTimeoutMs = 5000;
inline constexpr int kSettleMs = 10;
inline constexpr int kIdentifyReads = 10;
// An identification record: the version byte, six 16-bit words and the
// 8-byte prologue, then the device id and its NUL.
inline constexpr int kIdentificationHeadBytes = 1 + 6 * 2 + 8;
// Draining stray replies: reads of this size until one brings nothing (a
// quiet line for at least the read's 500 + 2n ms), but no more than this many
// reads from a device that never stops talking.
inline constexpr int kDrainReadSize = 64;
inline constexpr int kDrainRounds = 16;
// A device id is stored as at most this many characters; a device that sends
// more than kDeviceIdWireLimit bytes without the closing NUL is not answering
// sensibly.
inline constexpr int kDeviceIdWireLimit = 255;

// The bootloader's reads carry no checksum, so a chunk counts only when two
// reads of it agree; no more than this many reads are spent on one chunk.
inline constexpr int kReadAttempts = 6;
// After each read of a chunk, before the next request's discard: time for a
// byte still on its way behind the reply to arrive.
inline constexpr int kReadSettleMs = 1;
// Identification records asked for at a connect until two agree.
inline constexpr int kIdentifyAttempts = 4;
// A write block whose read-back differs is read once more before the block is
// taken as wrong: the read-back may have been the one the line mangled.
inline constexpr int kVerifyReads = 2;
// Tries of one erase block (erase, program, verify) and retries spent in one
// range operation before it gives up.
inline constexpr int kBlockTries = 3;
inline constexpr int kRangeRetries = 12;
// Rounds of the final check of a range (each may rewrite what it found changed).
inline constexpr int kFinalCheckRounds = 3;
// After a lost step the bootloader may still wait for the rest of a frame:
// this many 0xFF complete the longest one ('V': address, length, checksum and
// 255 data bytes) with bytes that program nothing, and as commands 0xFF is
// only the test monitor's "tones off".
inline constexpr std::uint8_t kResyncFill = 0xFF;
inline constexpr int kResyncFillBytes = 260;
// Announce windows a reconnect after a lost step may spend looking for the
// tracker (every probe speed twice).
inline constexpr int kReconnectWindows = 16;

// Progress is counted in units of 4 bytes.
inline constexpr int kProgressUnit = 4;

}  // namespace varnel::boot_protocol
