#include "emulator/model/fault_plan.h"

#include <cstdio>
#include <cstdlib>

namespace varnel {

namespace {

struct KindName {
    AimedFaultKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {AimedFaultKind::DropReplyByte, "drop"},          {AimedFaultKind::DuplicateReplyByte, "duplicate"},
    {AimedFaultKind::JunkBeforeReply, "junk"},        {AimedFaultKind::CorruptReplyByte, "corrupt"},
    {AimedFaultKind::FlipAddressBit, "flip-address"},
};

std::optional<unsigned long> number(const std::string& text, unsigned long max) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || v > max || text[0] == '-') return std::nullopt;
    return v;
}

std::string commandName(std::uint8_t c) {
    char buf[8];
    if (c >= 0x20 && c < 0x7F) std::snprintf(buf, sizeof buf, "'%c'", static_cast<char>(c));
    else std::snprintf(buf, sizeof buf, "0x%02X", c);
    return buf;
}

}  // namespace

std::optional<AimedFault> parseAimedFault(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const auto colon = text.find(':', from);
        fields.push_back(text.substr(from, colon - from));
        if (colon == std::string::npos) break;
        from = colon + 1;
    }
    if (fields.size() < 2 || fields.size() > 5) return std::nullopt;
    AimedFault fault;
    bool known = false;
    for (const auto& k : kKindNames)
        if (fields[0] == k.name) {
            fault.kind = k.kind;
            known = true;
        }
    if (!known) return std::nullopt;
    if (fields[1].size() == 1) {
        fault.command = static_cast<std::uint8_t>(fields[1][0]);
    } else {
        const auto c = number(fields[1], 0xFF);
        if (!c) return std::nullopt;
        fault.command = static_cast<std::uint8_t>(*c);
    }
    if (fields.size() > 2) {
        const auto n = number(fields[2], 0xFFFFFFFFul);
        if (!n || *n == 0) return std::nullopt;
        fault.nth = static_cast<std::uint32_t>(*n);
    }
    if (fields.size() > 3) {
        const auto i = number(fields[3], fault.kind == AimedFaultKind::FlipAddressBit ? 15 : 0xFFFF);
        if (!i) return std::nullopt;
        fault.index = static_cast<std::uint32_t>(*i);
    }
    if (fields.size() > 4) {
        const auto v = number(fields[4], 0xFF);
        if (!v) return std::nullopt;
        fault.value = static_cast<std::uint8_t>(*v);
    }
    return fault;
}

std::string describe(const AimedFault& fault) {
    const std::string target = commandName(fault.command) + " #" + std::to_string(fault.nth);
    char value[8];
    std::snprintf(value, sizeof value, "0x%02X", fault.value);
    switch (fault.kind) {
    case AimedFaultKind::DropReplyByte:
        return "dropped byte " + std::to_string(fault.index) + " of the reply to " + target;
    case AimedFaultKind::DuplicateReplyByte:
        return "duplicated byte " + std::to_string(fault.index) + " of the reply to " + target;
    case AimedFaultKind::JunkBeforeReply: return std::string("junk byte ") + value + " before the reply to " + target;
    case AimedFaultKind::CorruptReplyByte:
        return "corrupted byte " + std::to_string(fault.index) + " of the reply to " + target;
    case AimedFaultKind::FlipAddressBit: return "flipped address bit " + std::to_string(fault.index) + " of " + target;
    }
    return "?";
}

}  // namespace varnel
