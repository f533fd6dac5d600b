#include "link/boot_link.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/user_interface.h"
#include "link/boot_protocol.h"
#include "link/link_messages.h"
#include "link/write_progress.h"
#include "session/session.h"

namespace varnel {

namespace bp = boot_protocol;

BootLink::BootLink(SerialPort& port, LinkState& link, const DeviceTarget& target, FlashImage& image,
                   UserInterface& ui)
    : port_(port), link_(link), target_(target), image_(image), ui_(ui) {}

BootLink::BootLink(Session& session, UserInterface& ui)
    : BootLink(*session.port, session.link, session.target, session.image, ui) {}

void BootLink::pump() { ui_.pump(); }

void BootLink::report(const char* format, std::uint32_t value) {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
    ui_.message(text, MessageKind::Error);
}

long BootLink::addressField(std::uint32_t address) const {
    const std::uint32_t field = scalesAddresses() ? address >> bp::kJm128AddressShift : address;
    return field < bp::kAddressFieldLimit ? static_cast<long>(field) : -1;
}

int BootLink::sendCommand(const std::uint8_t* bytes, int n) {
    return port_.writeBytes(bytes, n) == n ? 0 : -1;
}

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

int BootLink::openAt(const std::string& portName, const char* speed) {
    return port_.openPort(portName, speed, ui_) == 1 ? 0 : -1;
}

void BootLink::sendResetRequest() {
    // Write results are not examined: the firmware may not be listening at
    // this speed, and the announce wait tells whether anything happened.
    port_.writeBytes(bp::kResetCommandLine.data(), bp::kResetCommandLine.size());
    port_.writeBytes(bp::kResetComment.data(), bp::kResetComment.size());
    port_.writeBytes(bp::kResetKiss.data(), bp::kResetKiss.size());
}

int BootLink::waitForAnnounce() {
    const std::int64_t start = clock_->nowMs();
    int r = 0;
    std::uint8_t b = 0;
    for (;;) {
        r = port_.readBytes(&b, 1);
        if (r < 0 || link_.linkAbort != LinkState::kAbortRunning || (r == 1 && b == bp::kAck)) break;
        pump();
        if (clock_->nowMs() - start > bp::kAnnounceWindowMs) return 0;
    }
    if (link_.linkAbort != LinkState::kAbortRunning) return -2;
    if (r < 0) {
        ui_.message(link_messages::kErrorReceiving, MessageKind::Error);
        return -1;
    }
    port_.sendByte(bp::kAck);
    clock_->sleepMs(bp::kSettleMs);
    return 1;
}

int BootLink::identify() {
    DeviceInfo& info = link_.deviceInfo;
    info = DeviceInfo{};
    port_.flushPort(1);
    if (port_.sendByte(bp::kIdentify) != 0) return -1;

    // The bootloader may repeat its announce before it answers; each repeat
    // is acknowledged and the request sent again.
    std::uint8_t held = 0;
    int reads = 0;
    int requests = 1;
    while (held == 0x00 || held == bp::kAck) {
        if (reads == bp::kIdentifyReads) return -1;
        ++reads;
        std::uint8_t b = 0;
        const int r = port_.readBytes(&b, 1);
        if (r < 0) return -1;
        if (r == 0) continue;
        held = b;
        if (held == bp::kAck) {
            if (port_.sendByte(bp::kAck) != 0 || port_.sendByte(bp::kIdentify) != 0) return -1;
            ++requests;
        }
    }
    link_.bootloaderVersion = held;

    std::uint16_t* words[] = {&info.validStart,   &info.validEnd,       &info.redirectBase,
                              &info.vectorLow,    &info.eraseBlockSize, &info.writeBlockSize};
    for (std::uint16_t* w : words) {
        std::uint8_t two[2] = {0, 0};
        if (port_.readBytes(two, 2) != 2) return -1;
        *w = static_cast<std::uint16_t>((two[0] << 8) | two[1]);
    }
    clock_->sleepMs(bp::kSettleMs);
    if (port_.readBytes(info.redirectPrologue.data(), 8) != 8) return -1;

    std::string id;
    int count = 0;
    for (;; ++count) {
        if (count > bp::kDeviceIdWireLimit) return -1;
        std::uint8_t c = 0;
        if (port_.readBytes(&c, 1) != 1) return -1;
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
    return 0;
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

int BootLink::connect(const std::string& portName, bool allowFastLink) {
    if (openAt(portName, bp::kFirstOpenSpeed) != 0) return -1;
    std::size_t probe = 0;
    for (;;) {
        sendResetRequest();
        port_.flushPort(0);
        port_.closePort();
        if (openAt(portName, bp::kBootloaderSpeed) != 0) return -1;
        const int announce = waitForAnnounce();
        if (announce < 0) return announce;
        if (announce == 1) break;
        port_.closePort();
        if (openAt(portName, bp::kProbeSpeeds[probe]) != 0) return -1;
        probe = (probe + 1) % bp::kProbeSpeeds.size();
    }

    // The bootloader acknowledges our answer; some versions need a nudge.
    std::uint8_t ack = 0;
    const int r = port_.readBytes(&ack, 1);
    if (r < 0) return -3;
    if (r == 0) {
        port_.sendByte(0x00);
        port_.readBytes(&ack, 1);
    }
    port_.flushPort(0);
    if (identify() != 0) return -3;

    const std::string& id = link_.deviceInfo.deviceId;
    if (!link_.chipName.empty()) {
        if (id.rfind(link_.chipName, 0) != 0) return -4;
        link_.sameTargetReconnected = true;
    }
    splitDeviceId(id, link_.chipName, link_.targetSuffix);

    if (allowFastLink) {
        const char* speed = nullptr;
        std::uint8_t command = 0;
        if (link_.targetSuffix.find(bp::kCapability115200) != std::string::npos) {
            command = bp::kSwitch115200;
            speed = "115200";
        } else if (link_.targetSuffix.find(bp::kCapability57600) != std::string::npos) {
            command = bp::kSwitch57600;
            speed = "57600";
        }
        if (speed) {
            port_.sendByte(command);
            port_.flushPort(0);
            port_.closePort();
            // Without the port at the new speed nothing more can be said to
            // the tracker; the port layer has told the user already.
            if (openAt(portName, speed) != 0) return -1;
        }
    }
    link_.connected = true;
    return 0;
}

std::string BootLink::connectFailureMessage(int result) const {
    if (result == -3) {
        char text[64];
        std::snprintf(text, sizeof text, link_messages::kCommunicationsError,
                      static_cast<unsigned>(link_.bootloaderVersion));
        return text;
    }
    if (result == -4) return link_messages::kWrongTarget;
    return {};
}

int BootLink::readMemory(std::uint32_t address, int length, std::uint8_t* destination) {
    if (length < 0 || length > bp::kMaxLength) return -1;
    const long field = addressField(address);
    if (field < 0) return -1;
    port_.flushPort(1);
    const std::uint8_t command[4] = {bp::kRead, static_cast<std::uint8_t>(field >> 8),
                                     static_cast<std::uint8_t>(field & 0xFF),
                                     static_cast<std::uint8_t>(length)};
    if (sendCommand(command, 4) != 0) return -1;
    if (length == 0) return 0;
    return port_.readBytes(destination, length) == length ? length : -1;
}

int BootLink::eraseBlock(std::uint32_t address) {
    if (address >= bp::kByteAddressLimit) return -1;
    const long field = addressField(address);
    if (field < 0) return -1;
    port_.flushPort(1);
    const std::uint8_t command[3] = {bp::kErase, static_cast<std::uint8_t>(field >> 8),
                                     static_cast<std::uint8_t>(field & 0xFF)};
    if (sendCommand(command, 3) != 0) return -1;
    const int reply = replyWait();
    if (reply < 0) return reply;
    return reply == bp::kAck ? 1 : -1;
}

// 'W' and 'V' share their frame: command, address field, length, [checksum],
// then the data taken from the image at the byte address, and one reply byte.
int BootLink::sendDataBlock(std::uint8_t commandByte, long field, std::uint32_t address, int length,
                            bool withChecksum) {
    port_.flushPort(1);
    std::vector<std::uint8_t> command{commandByte, static_cast<std::uint8_t>(field >> 8),
                                      static_cast<std::uint8_t>(field & 0xFF),
                                      static_cast<std::uint8_t>(length)};
    if (withChecksum) {
        std::uint8_t checksum = 0;
        for (int i = 0; i < length; ++i) checksum ^= image_.bytes[address + i];
        command.push_back(checksum);
    }
    command.insert(command.end(), image_.bytes.begin() + address,
                   image_.bytes.begin() + address + length);
    if (sendCommand(command.data(), static_cast<int>(command.size())) != 0) return -1;
    const int reply = replyWait();
    if (reply < 0) return reply;
    return reply == bp::kAck ? 1 : -1;
}

int BootLink::writeBlock(std::uint32_t address, int length) {
    if (length < 0 || length > bp::kMaxLength || address >= bp::kByteAddressLimit ||
        address + static_cast<std::uint32_t>(length) > kFlashSize)
        return -1;
    const long field = addressField(address);
    if (field < 0) return -1;
    return sendDataBlock(bp::kWrite, field, address, length, false);
}

int BootLink::writeBlockChecked(std::uint32_t address, int length, std::uint32_t addressOffset) {
    if (length < 0 || length > bp::kMaxLength || address >= bp::kByteAddressLimit ||
        address + addressOffset >= bp::kByteAddressLimit ||
        address + static_cast<std::uint32_t>(length) > kFlashSize)
        return -1;
    const long field = addressField(address + addressOffset);
    if (field < 0) return -1;
    return sendDataBlock(bp::kWriteChecked, field, address, length, true);
}

int BootLink::commitStaged() {
    if (port_.sendByte(bp::kCommitStaged) != 0) return -1;
    return replyWait();
}

int BootLink::leaveBootloader() { return port_.sendByte(bp::kLeave) == 0 ? 0 : -1; }

int BootLink::programRange(std::uint32_t start, std::uint32_t end, WriteProgress* progress,
                           std::uint32_t eraseOffset) {
    end = std::min(end, kFlashSize);
    NoWriteProgress silent;
    WriteProgress& bar = progress ? *progress : silent;

    std::uint32_t total = 0;
    for (std::uint32_t a = start; a < end; ++a)
        if (image_.touched[a] != kUntouched) ++total;
    bar.setRange(0, static_cast<int>(total / bp::kProgressUnit));
    std::uint32_t done = 0;

    const std::uint32_t eraseSize = link_.deviceInfo.eraseBlockSize;
    const std::uint32_t writeSize = link_.deviceInfo.writeBlockSize;
    const bool staged = scalesAddresses();

    for (std::uint32_t block = start; block < end;) {
        // Blocks are aligned to their size, except perhaps the first.
        const std::uint32_t next =
            eraseSize ? (block + eraseSize) / eraseSize * eraseSize : end;
        const std::uint32_t scanEnd = std::min(next, end);
        std::uint32_t first = block, last = block;
        bool any = false;
        for (std::uint32_t a = block; a < scanEnd; ++a) {
            if (image_.touched[a] == kUntouched) continue;
            if (!any) first = a;
            any = true;
            last = a + 1;
        }
        block = next;
        if (first >= last) continue;

        bar.setPosition(static_cast<int>(done / bp::kProgressUnit));
        // The erase request carries the block's first touched address; the
        // bootloader erases the whole block that holds it.
        if (eraseSize == 0 || writeSize == 0 || eraseBlock(first + eraseOffset) < 0) {
            report(link_messages::kUnableToErase, first);
            return -1;
        }
        std::vector<std::uint8_t> readBack;
        for (std::uint32_t p = first; p < last;) {
            const std::uint32_t q = (p + writeSize) / writeSize * writeSize;
            bar.setPosition(static_cast<int>(done / bp::kProgressUnit));
            pump();
            const std::uint32_t n = std::min(last, q) - p;
            if (staged) {
                // Addresses travel in 4-byte units, so a span that starts or
                // ends inside a unit would land up to 3 bytes low. Send whole
                // units; the extra bytes are the image's own.
                const std::uint32_t unit = bp::kJm128AddressUnit;
                const std::uint32_t ws = p / unit * unit;
                const std::uint32_t we = std::min((p + n + unit - 1) / unit * unit, kFlashSize);
                if (writeBlockChecked(ws, static_cast<int>(we - ws), eraseOffset) < 0) {
                    report(link_messages::kUnableToProgram, p);
                    return -1;
                }
            } else {
                if (writeBlock(p, static_cast<int>(n)) < 0) {
                    report(link_messages::kUnableToProgram, p);
                    return -1;
                }
                readBack.assign(n, 0);
                if (readMemory(p, static_cast<int>(n), readBack.data()) < 0) {
                    report(link_messages::kUnableToVerify, p);
                    return -1;
                }
                if (!std::equal(readBack.begin(), readBack.end(), image_.bytes.begin() + p)) {
                    report(link_messages::kVerifyError, p);
                    return -1;
                }
            }
            done = std::min(done + n, total);
            p = q;
        }
    }
    return 0;
}

int BootLink::programTouched(WriteProgress* progress) {
    const auto span = image_.touchedSpan();
    if (!span) return programRange(0, 0, progress, 0);
    return programRange(span->first, span->second, progress, 0);
}

int BootLink::readInto(std::uint32_t start, std::uint32_t end, std::uint8_t* destination) {
    // The first request goes out before the end is tested, so even an empty
    // range asks for 0 bytes; a chunk that fails or comes back short stops
    // the read, so nobody goes on with bytes that never arrived.
    std::uint32_t address = start;
    do {
        const std::uint32_t n = end > address ? std::min(bp::kReadChunk, end - address) : 0;
        if (readMemory(address, static_cast<int>(n), destination + (address - start)) !=
            static_cast<int>(n)) {
            ui_.message(link_messages::kErrorReceiving, MessageKind::Error);
            return -1;
        }
        address += n;
    } while (address < end);
    return 0;
}

int BootLink::readRange(std::uint32_t start, std::uint32_t end) {
    if (start > kFlashSize || end > kFlashSize) {
        ui_.message(link_messages::kErrorReceiving, MessageKind::Error);
        return -1;
    }
    return readInto(start, end, image_.bytes.data() + start);
}

}  // namespace varnel
