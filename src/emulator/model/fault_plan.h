#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnel {

// Which way line noise travels.
enum class NoiseDirection : std::uint8_t {
    Both,
    ToHost,     // only the tracker's answers are hit
    ToTracker,  // only what the host sends is hit
};

// Random bit errors, as on a long or poor cable: each data bit of each byte
// flips with probability bitErrorRate. The noise starts with the first
// bootloader handshake, so a connect can always get through its reset
// request and announce; from then on it stays. The same seed and the same
// traffic give the same errors.
struct LineNoise {
    double bitErrorRate = 0;
    std::uint64_t seed = 1;
    NoiseDirection direction = NoiseDirection::Both;
};

// One fault aimed at one reply or one command, so a test can hit exactly
// the byte it means to.
enum class AimedFaultKind : std::uint8_t {
    DropReplyByte,       // one byte of the reply never reaches the host
    DuplicateReplyByte,  // one byte of the reply reaches the host twice
    JunkBeforeReply,     // a stray byte reaches the host just ahead of the reply
    CorruptReplyByte,    // one byte of the reply arrives with bits flipped (say, of the identification record)
    FlipAddressBit,      // one bit of a command's address field flips on its way to the tracker
};

struct AimedFault {
    AimedFaultKind kind = AimedFaultKind::DropReplyByte;
    std::uint8_t command = 'R';  // the command byte whose reply or address is hit
    // The nth reply to that command (FlipAddressBit: the nth such command
    // heard), counted from when the fault was planned; 1: the next.
    std::uint32_t nth = 1;
    // The reply's byte (past its end: the last byte); for FlipAddressBit the
    // bit of the 16-bit address field (0: least significant).
    std::uint32_t index = 0;
    // The junk byte; the bits a corrupted byte has flipped (0: bit 0).
    std::uint8_t value = 0;
    std::uint32_t passed = 0;  // matching commands gone by so far
    bool fired = false;        // each fault fires once
};

// Parses "KIND:CMD[:N[:INDEX[:VALUE]]]", KIND one of drop, duplicate, junk,
// corrupt, flip-address; CMD a character (R) or a number (0x8A); numbers
// decimal or 0x-hex. Empty on a malformed text.
std::optional<AimedFault> parseAimedFault(const std::string& text);
// One line for the command log: "drop byte 3 of the reply to 'R' #2".
std::string describe(const AimedFault& fault);

// Faults and quirks the emulated tracker can be told to show, for testing
// the host's failure and retry paths.
struct FaultPlan {
    bool silent = false;                         // hears nothing, says nothing
    std::optional<std::uint32_t> nakEraseAt;     // refuse the erase of the block holding this address
    std::optional<std::uint32_t> nakWriteAt;     // refuse a write ('W' or 'V') covering this address
    std::optional<std::uint32_t> corruptReadAt;  // read-back of this address comes back inverted
    std::optional<std::uint64_t> hangupAfter;    // unplug after this many received bytes
    // A bootloader still busy announcing answers the first N 'I' after each
    // handshake with 0xFC instead of its identification record.
    std::uint32_t announceRepeats = 0;
    // One announce sent just before the host's answer was heard reaches the
    // host this many ms after the handshake (a busy host or a slow adapter),
    // or at the latest just ahead of the next thing the device sends.
    std::optional<std::uint32_t> lateAnnounceMs;
    LineNoise noise;
    std::vector<AimedFault> aimed;
};

}  // namespace varnel
