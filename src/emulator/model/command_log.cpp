#include "emulator/model/command_log.h"

#include <cstdio>

#include "emulator/model/usb_adapter.h"

namespace varnel {

const char* resultName(CommandResult r) {
    switch (r) {
    case CommandResult::Ack: return "ack";
    case CommandResult::Nak: return "nak";
    case CommandResult::NoReply: return "no-reply";
    case CommandResult::Ignored: return "ignored";
    case CommandResult::Garbled: return "garbled";
    case CommandResult::Event: return "event";
    case CommandResult::Fault: return "fault";
    }
    return "?";
}

std::string CommandLogEntry::text() const {
    char head[64];
    if (command >= 0x20 && command < 0x7F) std::snprintf(head, sizeof head, "'%c'", static_cast<char>(command));
    else std::snprintf(head, sizeof head, "0x%02X", command);
    char body[96];
    std::snprintf(body, sizeof body, "%s addr=0x%05X len=%u %s", head, address, length, resultName(result));
    std::string line = body;
    if (!note.empty()) line += " (" + note + ")";
    return line;
}

std::uint64_t wireBoundMicros(const std::vector<CommandLogEntry>& log, std::chrono::milliseconds adapterLatency) {
    std::uint64_t us = 0;
    for (const auto& e : log) {
        if (e.speed != 0) us += (std::uint64_t{e.bytesIn} + e.bytesOut) * 10u * 1000000u / e.speed;
        us += e.busyMicros;
        const bool answered = e.result == CommandResult::Ack || e.result == CommandResult::Nak;
        if (answered && adapterLatency.count() > 0)
            us += UsbAdapterModel::holdMicros(e.bytesOut, e.speed, adapterLatency);
    }
    return us;
}

std::string commandLogText(const std::vector<CommandLogEntry>& log) {
    std::string text;
    for (const auto& e : log) text += e.text() + "\n";
    return text;
}

}  // namespace varnel
