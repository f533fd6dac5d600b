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

void BootLink::report(const char* format, std::uint32_t value, std::uint32_t second) {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value), static_cast<unsigned>(second));
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
    identifyHeardNothing_ = true;
    while (held == 0x00 || held == bp::kAck) {
        if (reads == bp::kIdentifyReads) return -1;
        ++reads;
        std::uint8_t b = 0;
        const int r = port_.readBytes(&b, 1);
        if (r < 0) return -1;
        if (r == 0) continue;
        held = b;
        if (held != 0x00 && held != bp::kAck) identifyHeardNothing_ = false;
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

int BootLink::identifyConfirmed() {
    // The record decides how every later command is framed (block sizes,
    // the programmable area), and nothing on the wire guards it: it counts
    // when two records agree and make sense.
    identificationUnreliable_ = false;
    std::vector<DeviceInfo> seen;
    bool heardSomething = false;
    for (int attempt = 0; attempt < bp::kIdentifyAttempts; ++attempt) {
        if (identify() != 0) {
            if (identifyHeardNothing_ && !heardSomething) return -1;  // a silent device, not a noisy one
            heardSomething = true;
            drainUntilQuiet();
            continue;
        }
        heardSomething = true;
        const DeviceInfo got = link_.deviceInfo;
        if (port_.takeLineErrors() != 0 || !identificationMakesSense(got)) continue;
        for (const DeviceInfo& earlier : seen)
            if (earlier == got) return 0;
        seen.push_back(got);
    }
    identificationUnreliable_ = true;
    return -1;
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
    return connectWithin(portName, allowFastLink, -1);
}

int BootLink::connectWithin(const std::string& portName, bool allowFastLink, int maxWindows) {
    forgetConfirmedReads();
    identificationUnreliable_ = false;
    if (openAt(portName, bp::kFirstOpenSpeed) != 0) return -1;
    std::size_t probe = 0;
    for (int window = 0;; ++window) {
        if (maxWindows >= 0 && window >= maxWindows) return -2;
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
    if (identifyConfirmed() != 0) return -3;

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
    link_.portName = portName;
    link_.fastLinkAllowed = allowFastLink;
    link_.connected = true;
    return 0;
}

std::string BootLink::connectFailureMessage(int result) const {
    if (result == -3) {
        char text[64];
        std::snprintf(text, sizeof text, link_messages::kCommunicationsError,
                      static_cast<unsigned>(link_.bootloaderVersion));
        if (identificationUnreliable_)
            return std::string(text) + "\n" + link_messages::kUnreliableIdentification;
        return text;
    }
    if (result == -4) {
        // The held chip stays what it was; the tracker's is its id's first part.
        std::string chip, suffix;
        splitDeviceId(link_.deviceInfo.deviceId, chip, suffix);
        char second[160];
        std::snprintf(second, sizeof second, link_messages::kWrongTargetChips, link_.chipName.c_str(),
                      chip.c_str());
        return std::string(link_messages::kWrongTarget) + "\n" + second;
    }
    return {};
}

int BootLink::readMemory(std::uint32_t address, int length, std::uint8_t* destination) {
    const int got = readCount(address, length, destination);
    return got == length ? length : -1;
}

int BootLink::readCount(std::uint32_t address, int length, std::uint8_t* destination) {
    if (length < 0 || length > bp::kMaxLength) return -1;
    const long field = addressField(address);
    if (field < 0) return -1;
    port_.flushPort(1);
    const std::uint8_t command[4] = {bp::kRead, static_cast<std::uint8_t>(field >> 8),
                                     static_cast<std::uint8_t>(field & 0xFF),
                                     static_cast<std::uint8_t>(length)};
    if (sendCommand(command, 4) != 0) return -1;
    if (length == 0) return 0;
    return port_.readBytes(destination, length);
}

int BootLink::readConfirmed(std::uint32_t address, int length, std::uint8_t* destination) {
    if (length <= 0) return readMemory(address, length, destination);
    const auto known = link_.confirmedReads.find(address);
    if (known != link_.confirmedReads.end() && known->second.size() == static_cast<std::size_t>(length)) {
        std::copy(known->second.begin(), known->second.end(), destination);
        return length;
    }
    std::vector<std::vector<std::uint8_t>> heard;
    std::vector<std::uint8_t> attempt(static_cast<std::size_t>(length));
    int silent = 0;
    bool garbled = false;  // a whole reply, or one the line flagged, was heard
    for (int i = 0; i < bp::kReadAttempts; ++i) {
        const int got = readCount(address, length, attempt.data());
        if (got < 0) break;  // refused, or the port failed
        // A tracker that stays silent twice is not answering; a noisy line
        // still brings bytes.
        if (got == 0 && ++silent >= 2 && heard.empty()) break;
        // A byte the line added before or inside a reply leaves the reply's
        // last byte on its way when the read ends; the next request's
        // discard must not miss it, or every later reply comes shifted by
        // one and two of them could agree.
        clock_->sleepMs(bp::kReadSettleMs);
        // A chunk the line flagged, or that came short, says nothing, and
        // whatever of it still arrives is let pass before the next request.
        const bool flagged = port_.takeLineErrors() != 0;
        garbled = garbled || flagged;
        if (flagged || got != length) {
            drainUntilQuiet();
            continue;
        }
        for (const auto& earlier : heard) {
            if (earlier != attempt) continue;
            std::copy(attempt.begin(), attempt.end(), destination);
            link_.confirmedReads[address] = attempt;
            return length;
        }
        if (!heard.empty()) drainUntilQuiet();  // they differ: one of them came shifted, perhaps
        heard.push_back(attempt);
    }
    // Replies that came whole but never agreed, or that the line flagged,
    // say the line garbles; replies that only ever came short (or none) say
    // the tracker's answers do not arrive, as any failed read does.
    return garbled || !heard.empty() ? -2 : -1;
}

bool BootLink::deviceMatchesImage(std::uint32_t address, std::uint32_t length, std::uint32_t offset) {
    std::vector<std::uint8_t> readBack;
    verifyCameShort_ = false;
    for (std::uint32_t at = address; at < address + length;) {
        const std::uint32_t n = std::min(bp::kReadChunk, address + length - at);
        const auto expected = image_.bytes.begin() + at;
        bool match = false, cameWhole = false;
        for (int i = 0; i < bp::kVerifyReads && !match; ++i) {
            readBack.assign(n, 0);
            const int got = readCount(at + offset, static_cast<int>(n), readBack.data());
            cameWhole = cameWhole || got == static_cast<int>(n);
            match = port_.takeLineErrors() == 0 && got == static_cast<int>(n) &&
                    std::equal(readBack.begin(), readBack.end(), expected);
        }
        if (!match) {
            verifyCameShort_ = !cameWhole;
            return false;
        }
        at += n;
    }
    return true;
}

int BootLink::resynchronise() {
    faultSeen_ = true;
    forgetConfirmedReads();
    // A byte lost on the way leaves the bootloader waiting inside a frame; a
    // lost reply leaves ours on the line. 0xFF completes any frame without
    // programming anything, and the drain takes whatever it brings back.
    const std::vector<std::uint8_t> fill(bp::kResyncFillBytes, bp::kResyncFill);
    // A port that no longer takes bytes (the tracker unplugged) is past
    // getting back in step.
    if (port_.writeBytes(fill.data(), static_cast<int>(fill.size())) != static_cast<int>(fill.size()))
        return -1;
    drainUntilQuiet();
    const DeviceInfo known = link_.deviceInfo;
    const int version = link_.bootloaderVersion;
    if (identify() == 0 && link_.deviceInfo == known && port_.takeLineErrors() == 0) return 0;
    drainUntilQuiet();
    if (identify() == 0 && link_.deviceInfo == known && port_.takeLineErrors() == 0) return 0;

    // Out of step for good (a speed switch heard by mistake, say): find the
    // tracker again from the start, as long as it is the same one.
    link_.deviceInfo = known;
    link_.bootloaderVersion = version;
    if (link_.portName.empty()) return -1;
    const bool sameTarget = link_.sameTargetReconnected;
    const int abort = link_.linkAbort;
    link_.linkAbort = LinkState::kAbortRunning;
    port_.closePort();
    const int r = connectWithin(link_.portName, link_.fastLinkAllowed, bp::kReconnectWindows);
    link_.linkAbort = abort;
    link_.sameTargetReconnected = sameTarget;
    if (r < 0 || !(link_.deviceInfo == known)) {
        link_.deviceInfo = known;
        return -1;
    }
    return 0;
}

int BootLink::eraseBlock(std::uint32_t address) {
    if (address >= bp::kByteAddressLimit) return -1;
    const long field = addressField(address);
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
    forgetConfirmedReads();
    if (port_.sendByte(bp::kCommitStaged) != 0) return -1;
    return replyWait();
}

int BootLink::leaveBootloader() {
    forgetConfirmedReads();  // the firmware may change its own flash
    return port_.sendByte(bp::kLeave) == 0 ? 0 : -1;
}

int BootLink::programBlock(std::uint32_t first, std::uint32_t last, std::uint32_t eraseOffset,
                           WriteProgress& bar, std::uint32_t& done, std::uint32_t total,
                           const char*& why) {
    const std::uint32_t writeSize = link_.deviceInfo.writeBlockSize;
    bar.setPosition(static_cast<int>(done / bp::kProgressUnit));
    failedAddress_ = first;
    // The erase request carries the block's first touched address; the
    // bootloader erases the whole block that holds it.
    if (eraseBlock(first + eraseOffset) < 0) {
        why = link_messages::kUnableToErase;
        return -1;
    }
    for (std::uint32_t p = first; p < last;) {
        const std::uint32_t q = (p + writeSize) / writeSize * writeSize;
        bar.setPosition(static_cast<int>(done / bp::kProgressUnit));
        pump();
        const std::uint32_t n = std::min(last, q) - p;
        failedAddress_ = p;
        // What the write put where, to be read back: 'W' and 'R' use the
        // image address, 'V' (JM128) the address plus the offset.
        std::uint32_t span = p, spanEnd = p + n, readOffset = 0;
        if (scalesAddresses()) {
            // Addresses travel in 4-byte units, so a span that starts or
            // ends inside a unit would land up to 3 bytes low. Send whole
            // units; the extra bytes are the image's own.
            const std::uint32_t unit = bp::kJm128AddressUnit;
            span = p / unit * unit;
            spanEnd = std::min((p + n + unit - 1) / unit * unit, kFlashSize);
            readOffset = eraseOffset;
            if (writeBlockChecked(span, static_cast<int>(spanEnd - span), eraseOffset) < 0) {
                why = link_messages::kUnableToProgram;
                return -1;
            }
        } else if (writeBlock(p, static_cast<int>(n)) < 0) {
            why = link_messages::kUnableToProgram;
            return -1;
        }
        // JM128's checksum covers the data but not the address, so every
        // chip's write is read back.
        if (!deviceMatchesImage(span, spanEnd - span, readOffset)) {
            why = verifyCameShort_ ? link_messages::kUnableToVerify : link_messages::kVerifyError;
            if (!verifyCameShort_) {
                if (const auto stray = findStrayWrite(span, spanEnd - span, readOffset)) {
                    strayFound_ = true;
                    report(link_messages::kStrayWrite, p, *stray);
                    ui_.message(link_messages::kStrayWriteRemedy, MessageKind::Error);
                }
            }
            return -1;
        }
        done = std::min(done + n, total);
        p = q;
    }
    return 0;
}

int BootLink::programBlockWithRetries(std::uint32_t first, std::uint32_t last,
                                      std::uint32_t eraseOffset, WriteProgress& bar,
                                      std::uint32_t& done, std::uint32_t total) {
    const std::uint32_t doneBefore = done;
    for (int tries = 1;; ++tries) {
        const char* why = nullptr;
        if (programBlock(first, last, eraseOffset, bar, done, total, why) == 0) return 0;
        const std::uint32_t at = failedAddress_;
        if (strayFound_) return -1;  // already reported, with what it changed
        // Nothing in the block is trusted after a failure: the whole erase
        // block is done again, once the link is back in step.
        if (tries >= bp::kBlockTries || retriesLeft_ <= 0) {
            report(why, at);
            failedAddress_ = at;
            return -1;
        }
        --retriesLeft_;
        if (resynchronise() != 0) {
            report(why, at);
            ui_.message(link_messages::kLinkLost);
            failedAddress_ = at;
            return -1;
        }
        done = doneBefore;
    }
}

// A write the bootloader took but that did not land where it was sent went,
// most likely, one flipped bit of its address field away. Inside the image
// the final check or a later erase deals with it; flash outside the image
// nothing would ever read again, so look for the block's bytes there. Far
// away, its own place stayed erased and the neighbour holds the block
// (programmed over whatever was there: no bit set that the block has clear).
// Near (a low bit), the copy overlaps its own place, which then holds the
// block moved by as much, erased where the copy left it; only the part of
// the copy beyond its own place can have reached outside the image.
std::optional<std::uint32_t> BootLink::findStrayWrite(std::uint32_t span, std::uint32_t length,
                                                      std::uint32_t offset) {
    const std::uint32_t own = span + offset;
    const long field = addressField(own);
    if (field < 0 || length == 0) return std::nullopt;
    const auto data = image_.bytes.begin() + span;
    if (std::all_of(data, data + length, [](std::uint8_t b) { return b == 0xFF; })) return std::nullopt;
    std::vector<std::uint8_t> here(length);
    for (std::uint32_t at = 0; at < length; at += bp::kReadChunk) {
        const int n = static_cast<int>(std::min(bp::kReadChunk, length - at));
        if (readConfirmed(own + at, n, here.data() + at) != n) return std::nullopt;
    }
    const bool leftErased = std::all_of(here.begin(), here.end(), [](std::uint8_t b) { return b == 0xFF; });
    const auto outsideImage = [&](std::uint32_t device) {
        return device < offset || image_.touched[device - offset] == kUntouched;
    };
    std::vector<std::uint8_t> there(length);
    for (std::uint32_t bit = 1; bit < bp::kAddressFieldLimit; bit <<= 1) {
        const std::uint32_t neighbour = static_cast<std::uint32_t>(field) ^ bit;
        const std::uint32_t at = scalesAddresses() ? neighbour << bp::kJm128AddressShift : neighbour;
        if (at + length > kFlashSize) continue;
        const bool overlaps = at < own + length && own < at + length;
        if (!overlaps) {
            if (!leftErased) continue;
            bool reachesOut = false;
            for (std::uint32_t i = 0; i < length && !reachesOut; ++i) reachesOut = outsideImage(at + i);
            if (!reachesOut) continue;
            if (readConfirmed(at, static_cast<int>(length), there.data()) != static_cast<int>(length)) continue;
            bool erased = true, fits = true;
            for (std::uint32_t i = 0; i < length; ++i) {
                erased = erased && there[i] == 0xFF;
                fits = fits && (there[i] & ~data[i]) == 0;
            }
            if (!erased && fits) return at;
            continue;
        }
        // Moved by `shift` bytes: what its own place holds now, byte for byte.
        const long shift = static_cast<long>(at) - static_cast<long>(own);
        bool moved = true;
        for (std::uint32_t i = 0; i < length && moved; ++i) {
            const long from = static_cast<long>(i) - shift;
            const std::uint8_t expected = from >= 0 && from < static_cast<long>(length) ? data[from] : 0xFF;
            moved = here[i] == expected;
        }
        if (!moved) continue;
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::uint32_t device = at + i;
            const bool beyondOwn = device < own || device >= own + length;
            if (beyondOwn && data[i] != 0xFF && outsideImage(device)) return at;
        }
        return std::nullopt;  // it stayed inside the image
    }
    return std::nullopt;
}

std::uint32_t BootLink::sampleUnit(std::uint32_t first, std::uint32_t last) const {
    const std::uint32_t unit = scalesAddresses() ? bp::kJm128AddressUnit : 1;
    for (std::uint32_t a = first / unit * unit; a < last; a += unit)
        for (std::uint32_t i = 0; i < unit && a + i < kFlashSize; ++i)
            if (image_.bytes[a + i] != 0xFF) return a;
    return last;
}

bool BootLink::blockStillHolds(std::uint32_t first, std::uint32_t last, std::uint32_t readOffset, bool full) {
    const std::uint32_t unit = scalesAddresses() ? bp::kJm128AddressUnit : 1;
    std::uint32_t from = first, to = last;
    if (scalesAddresses()) {
        from = first / unit * unit;
        to = std::min((last + unit - 1) / unit * unit, kFlashSize);
    }
    if (!full) {
        from = sampleUnit(first, last);
        if (from >= last) return true;  // all erased: an erase changes nothing
        to = from + unit;
    }
    return deviceMatchesImage(from, to - from, readOffset);
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> BootLink::touchedBlocks(std::uint32_t start,
                                                                             std::uint32_t end) const {
    const std::uint32_t eraseSize = link_.deviceInfo.eraseBlockSize;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> blocks;
    for (std::uint32_t block = start; block < end;) {
        // Blocks are aligned to their size, except perhaps the first.
        const std::uint32_t next = eraseSize ? (block + eraseSize) / eraseSize * eraseSize : end;
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
        if (first < last) blocks.push_back({first, last});
    }
    return blocks;
}

bool BootLink::rangeStillHolds(std::uint32_t start, std::uint32_t end) {
    for (const auto& [first, last] : touchedBlocks(start, std::min(end, kFlashSize))) {
        pump();
        if (!blockStillHolds(first, last, 0, faultSeen_)) return false;
    }
    return true;
}

int BootLink::finalCheck(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& blocks,
                         std::uint32_t eraseOffset, WriteProgress& bar, std::uint32_t total) {
    // A later erase or write whose address the line changed can hit a block
    // verified before. A stray erase empties a whole block, so one byte the
    // image holds programmed in each block shows it; a stray write leaves its
    // own block unwritten, which its verify catches, and once anything
    // failed every block is read back in full.
    const std::uint32_t readOffset = scalesAddresses() ? eraseOffset : 0;
    for (int round = 0; round < bp::kFinalCheckRounds; ++round) {
        const bool full = faultSeen_;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> changed;
        for (const auto& [first, last] : blocks) {
            pump();
            if (!blockStillHolds(first, last, readOffset, full)) changed.push_back({first, last});
        }
        if (changed.empty()) return 0;
        faultSeen_ = true;
        for (const auto& [first, last] : changed) {
            std::uint32_t done = total;  // the bar stays where it is
            if (retriesLeft_ <= 0) {
                report(link_messages::kVerifyError, first);
                failedAddress_ = first;
                return -1;
            }
            --retriesLeft_;
            if (programBlockWithRetries(first, last, eraseOffset, bar, done, total) != 0) {
                failedAddress_ = first;
                return -1;
            }
        }
    }
    report(link_messages::kVerifyError, blocks.front().first);
    failedAddress_ = blocks.front().first;
    return -1;
}

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
    faultSeen_ = false;
    strayFound_ = false;
    retriesLeft_ = bp::kRangeRetries;

    std::vector<std::pair<std::uint32_t, std::uint32_t>> written;
    for (const auto& [first, last] : touchedBlocks(start, end)) {
        if (!identificationMakesSense(link_.deviceInfo)) {
            bar.setPosition(static_cast<int>(done / bp::kProgressUnit));
            failedAddress_ = first;
            report(link_messages::kUnableToErase, first);
            return -1;
        }
        if (programBlockWithRetries(first, last, eraseOffset, bar, done, total) != 0) return -1;
        written.push_back({first, last});
    }
    if (!written.empty() && finalCheck(written, eraseOffset, bar, total) != 0) return -1;
    return 0;
}

int BootLink::programTouched(WriteProgress* progress) {
    const auto span = image_.touchedSpan();
    if (!span) return programRange(0, 0, progress, 0);
    return programRange(span->first, span->second, progress, 0);
}

int BootLink::readInto(std::uint32_t start, std::uint32_t end, std::uint8_t* destination) {
    // The first request goes out before the end is tested, so even an empty
    // range asks for 0 bytes; a chunk no two reads agree on stops the read,
    // so nobody goes on with bytes the line may have changed.
    std::uint32_t address = start;
    do {
        const std::uint32_t n = end > address ? std::min(bp::kReadChunk, end - address) : 0;
        const int got = readConfirmed(address, static_cast<int>(n), destination + (address - start));
        if (got != static_cast<int>(n)) {
            ui_.message(got == -2 ? link_messages::kUnreliableRead : link_messages::kErrorReceiving,
                        MessageKind::Error);
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
