#include "link/confirmed_reads.h"

#include <algorithm>
#include <vector>

#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/boot_protocol.h"
#include "link/connector.h"
#include "link/link_messages.h"

namespace varnel {

namespace bp = boot_protocol;

int readConfirmed(BootLink& link, std::uint32_t address, int length, std::uint8_t* destination) {
    if (length <= 0) return link.readMemory(address, length, destination);
    auto& confirmed = link.link().confirmedReads;
    const auto known = confirmed.find(address);
    if (known != confirmed.end() && known->second.size() == static_cast<std::size_t>(length)) {
        std::copy(known->second.begin(), known->second.end(), destination);
        return length;
    }
    std::vector<std::vector<std::uint8_t>> heard;
    std::vector<std::uint8_t> attempt(static_cast<std::size_t>(length));
    int silent = 0;
    bool garbled = false;  // a whole reply, or one the line flagged, was heard
    for (int i = 0; i < bp::kReadAttempts; ++i) {
        const int got = link.readCount(address, length, attempt.data());
        if (got < 0) break;  // refused, or the port failed
        // A tracker that stays silent twice is not answering; a noisy line
        // still brings bytes.
        if (got == 0 && ++silent >= 2 && heard.empty()) break;
        // A byte the line added before or inside a reply leaves the reply's
        // last byte on its way when the read ends; the next request's
        // discard must not miss it, or every later reply comes shifted by
        // one and two of them could agree.
        link.clock().sleepMs(bp::kReadSettleMs);
        // A chunk the line flagged, or that came short, says nothing, and
        // whatever of it still arrives is let pass before the next request.
        const bool flagged = link.takeLineErrors() != 0;
        garbled = garbled || flagged;
        if (flagged || got != length) {
            link.drainUntilQuiet();
            continue;
        }
        for (const auto& earlier : heard) {
            if (earlier != attempt) continue;
            std::copy(attempt.begin(), attempt.end(), destination);
            confirmed[address] = attempt;
            return length;
        }
        if (!heard.empty()) {
            link.noteLineGarbled();
            link.drainUntilQuiet();  // they differ: one of them came shifted, perhaps
        }
        heard.push_back(attempt);
    }
    // Replies that came whole but never agreed, or that the line flagged,
    // say the line garbles; replies that only ever came short (or none) say
    // the tracker's answers do not arrive, as any failed read does.
    return garbled || !heard.empty() ? -2 : -1;
}

int readConfirmedInto(BootLink& link, std::uint32_t start, std::uint32_t end, std::uint8_t* destination) {
    // The first request goes out before the end is tested, so even an empty
    // range asks for 0 bytes; a chunk no two reads agree on stops the read,
    // so nobody goes on with bytes the line may have changed.
    std::uint32_t address = start;
    do {
        const std::uint32_t n = end > address ? std::min(bp::kReadChunk, end - address) : 0;
        std::uint8_t* into = destination + (address - start);
        int got = readConfirmed(link, address, static_cast<int>(n), into);
        // A fast line that garbles is left for the bootloader's own speed,
        // and the chunk read again there.
        if (got != static_cast<int>(n) && Connector(link).fallBackToSlowLine())
            got = readConfirmed(link, address, static_cast<int>(n), into);
        if (got != static_cast<int>(n)) {
            link.ui().message(got == -2 ? link_messages::kUnreliableRead : link_messages::kErrorReceiving,
                              MessageKind::Error);
            return -1;
        }
        address += n;
    } while (address < end);
    return 0;
}

int readConfirmedRange(BootLink& link, std::uint32_t start, std::uint32_t end) {
    if (start > kFlashSize || end > kFlashSize) {
        link.ui().message(link_messages::kErrorReceiving, MessageKind::Error);
        return -1;
    }
    return readConfirmedInto(link, start, end, link.image().bytes.data() + start);
}

ReadBack readBack(BootLink& link, std::uint32_t address, std::uint32_t length, std::uint32_t offset) {
    const FlashImage& image = link.image();
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t at = address; at < address + length;) {
        const std::uint32_t n = std::min(bp::kReadChunk, address + length - at);
        const auto expected = image.bytes.begin() + at;
        bool match = false, cameWhole = false;
        std::vector<std::uint8_t> earlier;  // the last whole read
        for (int i = 0; i < bp::kVerifyReads && !match; ++i) {
            bytes.assign(n, 0);
            const int got = link.readCount(at + offset, static_cast<int>(n), bytes.data());
            const bool whole = got == static_cast<int>(n);
            match = link.takeLineErrors() == 0 && whole && std::equal(bytes.begin(), bytes.end(), expected);
            // Two whole reads that differ from each other: the line changed one.
            if (whole && !earlier.empty() && earlier != bytes) link.noteLineGarbled();
            if (whole) earlier = bytes;
            cameWhole = cameWhole || whole;
        }
        if (!match) return cameWhole ? ReadBack::Differs : ReadBack::CameShort;
        at += n;
    }
    return ReadBack::Matches;
}

}  // namespace varnel
