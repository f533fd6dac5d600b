#include "link/range_writer.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/boot_protocol.h"
#include "link/confirmed_reads.h"
#include "link/link_messages.h"
#include "link/stray_write.h"
#include "link/write_progress.h"

namespace varnel {

namespace bp = boot_protocol;

RangeWriter::RangeWriter(BootLink& link, std::uint32_t start, std::uint32_t end, std::uint32_t eraseOffset,
                         WriteProgress& progress)
    : link_(link), connector_(link), bar_(progress), eraseOffset_(eraseOffset), retriesLeft_(bp::kRangeRetries),
      stoppedAt_(start) {
    end = std::min(end, kFlashSize);
    for (std::uint32_t a = start; a < end; ++a)
        if (link_.image().touched[a] != kUntouched) ++total_;
    blocks_ = touchedBlocks(start, end);
}

RangeWriter RangeWriter::forTouched(BootLink& link, WriteProgress& progress) {
    const auto span = link.image().touchedSpan().value_or(std::pair<std::uint32_t, std::uint32_t>{0, 0});
    return RangeWriter(link, span.first, span.second, 0, progress);
}

void RangeWriter::report(const char* format, std::uint32_t value, std::uint32_t second) {
    char text[96];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value), static_cast<unsigned>(second));
    link_.ui().message(text, MessageKind::Error);
}

std::vector<RangeWriter::Block> RangeWriter::touchedBlocks(std::uint32_t start, std::uint32_t end) const {
    const std::uint32_t eraseSize = link_.link().deviceInfo.eraseBlockSize;
    const TouchedMap& touched = link_.image().touched;
    std::vector<Block> blocks;
    for (std::uint32_t block = start; block < end;) {
        // Blocks are aligned to their size, except perhaps the first.
        const std::uint32_t next = eraseSize ? (block + eraseSize) / eraseSize * eraseSize : end;
        const std::uint32_t scanEnd = std::min(next, end);
        std::uint32_t first = block, last = block;
        bool any = false;
        for (std::uint32_t a = block; a < scanEnd; ++a) {
            if (touched[a] == kUntouched) continue;
            if (!any) first = a;
            any = true;
            last = a + 1;
        }
        block = next;
        if (first < last) blocks.push_back({first, last});
    }
    return blocks;
}

int RangeWriter::run() {
    bar_.setRange(0, static_cast<int>(total_ / bp::kProgressUnit));
    for (; next_ < blocks_.size(); ++next_) {
        const Block& block = blocks_[next_];
        // A stop asked for lands here, between blocks: a block once erased
        // is always written and verified whole.
        if (link_.link().linkAbort == LinkState::kAbortRequested) {
            stoppedAt_ = block.first;
            report(link_messages::kStoppedAtBlock, block.first);
            return -1;
        }
        if (!identificationMakesSense(link_.link().deviceInfo)) {
            bar_.setPosition(static_cast<int>(done_ / bp::kProgressUnit));
            stoppedAt_ = block.first;
            report(link_messages::kUnableToErase, block.first);
            return -1;
        }
        if (writeWithRetries(block) != 0) return -1;
    }
    if (!blocks_.empty() && finalCheck() != 0) return -1;
    return 0;
}

std::optional<RangeWriter::BlockFailure> RangeWriter::tryBlock(const Block& block) {
    const std::uint32_t writeSize = link_.link().deviceInfo.writeBlockSize;
    const AddressRules rules = link_.addressRules();
    bar_.setPosition(static_cast<int>(done_ / bp::kProgressUnit));
    stoppedAt_ = block.first;
    // The erase request carries the block's first touched address; the
    // bootloader erases the whole block that holds it.
    if (link_.eraseBlock(block.first + eraseOffset_) < 0) return BlockFailure{link_messages::kUnableToErase, false};
    for (std::uint32_t p = block.first; p < block.last;) {
        const std::uint32_t q = (p + writeSize) / writeSize * writeSize;
        bar_.setPosition(static_cast<int>(done_ / bp::kProgressUnit));
        link_.pump();
        const std::uint32_t n = std::min(block.last, q) - p;
        stoppedAt_ = p;
        // Whole address units go out (the extra bytes are the image's own),
        // and are read back where the write put them.
        const auto [from, to] = rules.wholeUnits(p, p + n);
        const SentBlock sent{from, to - from, rules.readBackOffset(eraseOffset_)};
        const int length = static_cast<int>(sent.length);
        const int sentWhole = rules.writesChecked() ? link_.writeBlockChecked(from, length, eraseOffset_)
                                                    : link_.writeBlock(from, length);
        if (sentWhole < 0) return BlockFailure{link_messages::kUnableToProgram, false};
        // JM128's checksum covers the data but not the address, so every
        // chip's write is read back.
        const ReadBack back = readBack(link_, sent.address, sent.length, sent.offset);
        if (back == ReadBack::CameShort) return BlockFailure{link_messages::kUnableToVerify, false};
        if (back == ReadBack::Differs) {
            const DeviceRead confirmed = [this](std::uint32_t address, std::uint32_t count, std::uint8_t* into) {
                const int n = static_cast<int>(count);
                return readConfirmed(link_, address, n, into) == n;
            };
            if (const auto stray = findStrayWrite(link_.image(), rules, sent, confirmed)) {
                report(link_messages::kStrayWrite, p, *stray);
                link_.ui().message(link_messages::kStrayWriteRemedy, MessageKind::Error);
                return BlockFailure{nullptr, true};
            }
            return BlockFailure{link_messages::kVerifyError, false};
        }
        done_ = std::min(done_ + n, total_);
        p = q;
    }
    return std::nullopt;
}

int RangeWriter::writeWithRetries(const Block& block) {
    const std::uint32_t doneBefore = done_;
    for (int tries = 1;; ++tries) {
        const auto failure = tryBlock(block);
        if (!failure) return 0;
        if (failure->astray) return -1;  // already reported, with what it changed
        // Nothing in the block is trusted after a failure: the whole erase
        // block is done again, once the link is back in step.
        done_ = doneBefore;
        if (tries >= bp::kBlockTries || retriesLeft_ <= 0) {
            if (carryOnSlower()) {
                tries = 0;
                continue;
            }
            report(failure->why, stoppedAt_);
            return -1;
        }
        --retriesLeft_;
        faultSeen_ = true;
        if (!connector_.resynchronise()) {
            if (carryOnSlower()) {
                tries = 0;
                continue;
            }
            report(failure->why, stoppedAt_);
            link_.ui().message(link_messages::kLinkLost);
            return -1;
        }
    }
}

bool RangeWriter::carryOnSlower() {
    if (!connector_.fallBackToSlowLine()) return false;
    // Every block the fast line wrote is read back in full before the end,
    // and the slow line gets the retries of a write of its own.
    faultSeen_ = true;
    retriesLeft_ = bp::kRangeRetries;
    return true;
}

std::uint32_t RangeWriter::sampleUnit(const Block& block) const {
    const std::uint32_t unit = link_.addressRules().unit();
    const auto& bytes = link_.image().bytes;
    for (std::uint32_t a = block.first / unit * unit; a < block.last; a += unit)
        for (std::uint32_t i = 0; i < unit && a + i < kFlashSize; ++i)
            if (bytes[a + i] != 0xFF) return a;
    return block.last;
}

bool RangeWriter::blockStillHolds(const Block& block, std::uint32_t readOffset, bool full) {
    const AddressRules rules = link_.addressRules();
    auto [from, to] = rules.wholeUnits(block.first, block.last);
    if (!full) {
        from = sampleUnit(block);
        if (from >= block.last) return true;  // all erased: an erase changes nothing
        to = from + rules.unit();
    }
    return readBack(link_, from, to - from, readOffset) == ReadBack::Matches;
}

bool RangeWriter::stillHolds(std::uint32_t start, std::uint32_t end) {
    for (const Block& block : touchedBlocks(start, std::min(end, kFlashSize))) {
        link_.pump();
        if (!blockStillHolds(block, 0, faultSeen_)) return false;
    }
    return true;
}

int RangeWriter::finalCheck() {
    // A later erase or write whose address the line changed can hit a block
    // verified before. A stray erase empties a whole block, so one byte the
    // image holds programmed in each block shows it; a stray write leaves its
    // own block unwritten, which its verify catches, and once anything
    // failed every block is read back in full.
    const std::uint32_t readOffset = link_.addressRules().readBackOffset(eraseOffset_);
    for (int round = 0;; ++round) {
        if (round == bp::kFinalCheckRounds) {
            if (!carryOnSlower()) break;
            round = 0;
        }
        const bool full = faultSeen_;
        std::vector<Block> changed;
        for (const Block& block : blocks_) {
            link_.pump();
            if (!blockStillHolds(block, readOffset, full)) changed.push_back(block);
        }
        if (changed.empty()) return 0;
        faultSeen_ = true;
        for (const Block& block : changed) {
            done_ = total_;  // the bar stays where it is
            if (retriesLeft_ <= 0 && !carryOnSlower()) {
                report(link_messages::kVerifyError, block.first);
                stoppedAt_ = block.first;
                return -1;
            }
            --retriesLeft_;
            if (writeWithRetries(block) != 0) {
                stoppedAt_ = block.first;
                return -1;
            }
        }
    }
    report(link_messages::kVerifyError, blocks_.front().first);
    stoppedAt_ = blocks_.front().first;
    return -1;
}

}  // namespace varnel
