#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// How the emulated device answered one command.
enum class CommandResult : std::uint8_t {
    Ack,      // confirmed with 0xFC, or answered with data
    Nak,      // answered with a refusal byte
    NoReply,  // a command that has no answer ('Q', 'H', 'T', tone bytes)
    Ignored,  // heard but not a command in this state
    Garbled,  // sent at a speed the device was not listening at
    Event,    // something the device did by itself (reset heard, announce, hang-up)
    Fault,    // an injected line fault fired (noise, a dropped byte, ...); carries no traffic
};

// One line of the device's traffic log. address is a byte address (for
// JM128 already multiplied out of the 4-byte units); for 'V' and the staged
// commit it is where the bytes really went.
struct CommandLogEntry {
    std::uint8_t command = 0;  // the command byte; 0 for events
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    CommandResult result = CommandResult::Ack;
    std::string note;  // detail: "write without erase at 0xF412", ...
    bool writeWithoutErase = false;
    // The traffic since the entry before: bytes heard from the host, bytes
    // sent back, the line speed they crossed at (0 on the board's own USB
    // port) and the device's own working time (erasing, programming).
    std::uint32_t bytesIn = 0;
    std::uint32_t bytesOut = 0;
    std::uint32_t speed = 0;
    std::uint64_t busyMicros = 0;

    std::string text() const;
};

const char* resultName(CommandResult r);

// The shortest time the traffic of these entries can take: every byte both
// ways at 10 bits over its line speed, plus the device's working time; behind
// a USB adapter with this latency timer, plus what the adapter must hold back
// of every answer the host waits for before it sends the next command.
std::uint64_t wireBoundMicros(const std::vector<CommandLogEntry>& log, std::chrono::milliseconds adapterLatency = {});

// The whole log as text, one entry a line.
std::string commandLogText(const std::vector<CommandLogEntry>& log);

}  // namespace varnel
