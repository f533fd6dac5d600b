#include "link/boot_link.h"

#include <string>
#include <vector>

#include "core/user_interface.h"
#include "link/boot_protocol.h"
#include "link/write_progress.h"
#include "session/session.h"

namespace varnel {

namespace bp = boot_protocol;

BootLink::BootLink(SerialPort& port, LinkState& link, const DeviceTarget& target, FlashImage& image, UserInterface& ui)
    : port_(port), link_(link), target_(target), image_(image), ui_(ui) {}

BootLink::BootLink(Session& session, UserInterface& ui)
    : BootLink(*session.port, session.link, session.target, session.image, ui) {}

void BootLink::pump() { ui_.pump(); }

int BootLink::takeLineErrors() {
    const int errors = port_.takeLineErrors();
    if (errors != 0) noteLineGarbled();
    return errors;
}

void BootLink::note(const std::string& text) {
    if (notes_) notes_->setNote(text);
    else ui_.message(text, MessageKind::Information);
}

int BootLink::sendCommand(const std::uint8_t* bytes, int n) { return port_.writeBytes(bytes, n) == n ? 0 : -1; }

// One reply byte to 'E', 'W', 'V' or 'U'. A read that times out is simply
// repeated, but a device that stays silent for kReplyTimeoutMs is taken as
// having failed the command rather than waited on for ever.
int BootLink::replyWait() {
    const std::int64_t start = clock_->nowMs();
    for (;;) {
        std::uint8_t b = 0;
        const int r = port_.readBytes(&b, 1);
        if (r < 0) return -1;
        if (r == 1) return b;
        if (clock_->nowMs() - start >= bp::kReplyTimeoutMs) return -2;
    }
}

IdentifyResult BootLink::identify() {
    DeviceInfo& info = link_.deviceInfo;
    info = DeviceInfo{};
    port_.flushPort(1);
    if (port_.sendByte(bp::kIdentify) != 0) return IdentifyResult::Failed;

    // The bootloader may repeat its announce before it answers; each repeat
    // is acknowledged and the request sent again.
    std::uint8_t held = 0;
    int reads = 0;
    int requests = 1;
    // Until the version byte comes, nothing has been heard from the tracker.
    while (held == 0x00 || held == bp::kAck) {
        if (reads == bp::kIdentifyReads) return IdentifyResult::Silent;
        ++reads;
        std::uint8_t b = 0;
        const int r = port_.readBytes(&b, 1);
        if (r < 0) return IdentifyResult::Silent;
        if (r == 0) continue;
        held = b;
        if (held == bp::kAck) {
            if (port_.sendByte(bp::kAck) != 0 || port_.sendByte(bp::kIdentify) != 0) return IdentifyResult::Silent;
            ++requests;
        }
    }
    link_.bootloaderVersion = held;

    std::uint16_t* words[] = {&info.validStart, &info.validEnd,       &info.redirectBase,
                              &info.vectorLow,  &info.eraseBlockSize, &info.writeBlockSize};
    for (std::uint16_t* w : words) {
        std::uint8_t two[2] = {0, 0};
        if (port_.readBytes(two, 2) != 2) return IdentifyResult::Failed;
        *w = static_cast<std::uint16_t>((two[0] << 8) | two[1]);
    }
    clock_->sleepMs(bp::kSettleMs);
    if (port_.readBytes(info.redirectPrologue.data(), 8) != 8) return IdentifyResult::Failed;

    std::string id;
    int count = 0;
    for (;; ++count) {
        if (count > bp::kDeviceIdWireLimit) return IdentifyResult::Failed;
        std::uint8_t c = 0;
        if (port_.readBytes(&c, 1) != 1) return IdentifyResult::Failed;
        if (c == 0) break;
        if (id.size() < DeviceInfo::kMaxDeviceIdLength) id.push_back(static_cast<char>(c));
    }
    info.deviceId = id;
    // A 0xFC that came after 'I' may have been an announce sent before the
    // bootloader heard our answer, held up by the host or a USB adapter's
    // latency timer, rather than a repeat. Then the bootloader answered more
    // than one 'I', and the records still on their way would be read as the
    // reply to the next command.
    if (requests > 1) dropSurplusRecords(requests - 1, bp::kIdentificationHeadBytes + count + 1);
    return IdentifyResult::Identified;
}

void BootLink::dropSurplusRecords(int surplus, int recordSize) {
    // Each 'I' is answered by a repeated announce (already read) or by one
    // record, so at most `surplus` more records can come; a line that stays
    // quiet for a whole read means the rest were repeats.
    std::vector<std::uint8_t> scrap(static_cast<std::size_t>(recordSize));
    for (int i = 0; i < surplus; ++i) {
        const int r = port_.readBytes(scrap.data(), recordSize);
        if (r <= 0) return;
        if (r != recordSize) {
            drainUntilQuiet();  // not a whole record: whatever it is, let it end
            return;
        }
    }
}

void BootLink::drainUntilQuiet() {
    std::uint8_t scrap[bp::kDrainReadSize];
    for (int round = 0; round < bp::kDrainRounds; ++round)
        if (port_.readBytes(scrap, bp::kDrainReadSize) <= 0) return;
}

int BootLink::readMemory(std::uint32_t address, int length, std::uint8_t* destination) {
    const int got = readCount(address, length, destination);
    return got == length ? length : -1;
}

int BootLink::readCount(std::uint32_t address, int length, std::uint8_t* destination) {
    if (length < 0 || length > bp::kMaxLength) return -1;
    const long field = addressRules().field(address);
    if (field < 0) return -1;
    port_.flushPort(1);
    const std::uint8_t command[4] = {bp::kRead, static_cast<std::uint8_t>(field >> 8),
                                     static_cast<std::uint8_t>(field & 0xFF), static_cast<std::uint8_t>(length)};
    if (sendCommand(command, 4) != 0) return -1;
    if (length == 0) return 0;
    return port_.readBytes(destination, length);
}

int BootLink::eraseBlock(std::uint32_t address) {
    if (address >= bp::kByteAddressLimit) return -1;
    const long field = addressRules().field(address);
    if (field < 0) return -1;
    forgetConfirmedReads();
    port_.flushPort(1);
    const std::uint8_t command[3] = {bp::kErase, static_cast<std::uint8_t>(field >> 8),
                                     static_cast<std::uint8_t>(field & 0xFF)};
    if (sendCommand(command, 3) != 0) return -1;
    // Heard whole, the request erases whether or not its reply comes back.
    flashMayHaveChanged_ = true;
    const int reply = replyWait();
    if (reply < 0) return reply;
    return reply == bp::kAck ? 1 : -1;
}

// 'W' and 'V' share their frame: command, address field, length, [checksum],
// then the data taken from the image at the byte address, and one reply byte.
int BootLink::sendDataBlock(std::uint8_t commandByte, long field, std::uint32_t address, int length,
                            bool withChecksum) {
    forgetConfirmedReads();
    port_.flushPort(1);
    std::vector<std::uint8_t> command{commandByte, static_cast<std::uint8_t>(field >> 8),
                                      static_cast<std::uint8_t>(field & 0xFF), static_cast<std::uint8_t>(length)};
    if (withChecksum) {
        std::uint8_t checksum = 0;
        for (int i = 0; i < length; ++i) checksum ^= image_.bytes[address + i];
        command.push_back(checksum);
    }
    command.insert(command.end(), image_.bytes.begin() + address, image_.bytes.begin() + address + length);
    if (sendCommand(command.data(), static_cast<int>(command.size())) != 0) return -1;
    const int reply = replyWait();
    if (reply < 0) return reply;
    return reply == bp::kAck ? 1 : -1;
}

int BootLink::writeBlock(std::uint32_t address, int length) {
    if (length < 0 || length > bp::kMaxLength || address >= bp::kByteAddressLimit ||
        address + static_cast<std::uint32_t>(length) > kFlashSize)
        return -1;
    const long field = addressRules().field(address);
    if (field < 0) return -1;
    return sendDataBlock(bp::kWrite, field, address, length, false);
}

int BootLink::writeBlockChecked(std::uint32_t address, int length, std::uint32_t addressOffset) {
    if (length < 0 || length > bp::kMaxLength || address >= bp::kByteAddressLimit ||
        address + addressOffset >= bp::kByteAddressLimit || address + static_cast<std::uint32_t>(length) > kFlashSize)
        return -1;
    const long field = addressRules().field(address + addressOffset);
    if (field < 0) return -1;
    return sendDataBlock(bp::kWriteChecked, field, address, length, true);
}

int BootLink::commitStaged() {
    forgetConfirmedReads();
    if (port_.sendByte(bp::kCommitStaged) != 0) return -1;
    return replyWait();
}

int BootLink::leaveBootloader() {
    forgetConfirmedReads();  // the firmware may change its own flash
    return port_.sendByte(bp::kLeave) == 0 ? 0 : -1;
}

}  // namespace varnel
