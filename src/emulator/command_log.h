#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// How the emulated device answered one command.
enum class CommandResult : std::uint8_t {
    Ack,       // confirmed with 0xFC, or answered with data
    Nak,       // answered with a refusal byte
    NoReply,   // a command that has no answer ('Q', 'H', 'T', tone bytes)
    Ignored,   // heard but not a command in this state
    Garbled,   // sent at a speed the device was not listening at
    Event,     // something the device did by itself (reset heard, announce, hang-up)
};

// One line of the device's traffic log. address is a byte address (for
// JM128 already multiplied out of the 4-byte units); for 'V' and the staged
// commit it is where the bytes really went.
struct CommandLogEntry {
    std::uint8_t command = 0;   // the command byte; 0 for events
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    CommandResult result = CommandResult::Ack;
    std::string note;           // detail: "write without erase at 0xF412", ...
    bool writeWithoutErase = false;

    std::string text() const;
};

const char* resultName(CommandResult r);

// The whole log as text, one entry a line.
std::string commandLogText(const std::vector<CommandLogEntry>& log);

}  // namespace varnel
