#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/connector.h"

namespace varnel {

class BootLink;
class WriteProgress;

// One write of part of the image, made for that write: it erases, programs
// and verifies every touched byte of [start, end), erase block by erase
// block, and owns the write's retries and the faults it met. Erase and 'V'
// addresses get eraseOffset added (JM128's staging area). A block that fails
// is tried again after a resynchronisation (kBlockTries a block,
// kRangeRetries in all); before the write ends, its blocks are checked for
// changes since they were verified. The writer goes through its blocks in
// order and keeps its place: run again, it carries on from the block where
// it stopped. When a fast link garbles past the retries, the writer goes
// on from its block at the bootloader's own speed.
class RangeWriter {
public:
    RangeWriter(BootLink& link, std::uint32_t start, std::uint32_t end, std::uint32_t eraseOffset,
                WriteProgress& progress);
    // The image's whole touched span.
    static RangeWriter forTouched(BootLink& link, WriteProgress& progress);

    // 0, or -1 after the failure's message.
    int run();
    // The image address where the write stopped: the block or write block
    // that failed, or after success the last write block.
    std::uint32_t stoppedAt() const { return stoppedAt_; }
    // Whether the touched erase blocks of [start, end) still hold the image,
    // read at its own addresses: one programmed unit of each (a stray erase
    // empties a whole block), every byte once this write met a fault.
    bool stillHolds(std::uint32_t start, std::uint32_t end);

private:
    // The touched part [first, last) of one erase block.
    struct Block {
        std::uint32_t first;
        std::uint32_t last;
    };
    // How one try of a block failed: the message that names stoppedAt_, or
    // a block written astray, reported already, which no retry can help.
    struct BlockFailure {
        const char* why;
        bool astray;
    };

    std::vector<Block> touchedBlocks(std::uint32_t start, std::uint32_t end) const;
    // One try of one block: erase, then program and read back each write block.
    std::optional<BlockFailure> tryBlock(const Block& block);
    // Tries a block until it verifies, within the block's and the write's tries.
    int writeWithRetries(const Block& block);
    // After the retries ran out on a fast line that garbles: goes on at the
    // bootloader's speed, with fresh retries and every block checked in full.
    bool carryOnSlower();
    // Checks that blocks verified earlier still hold their bytes, and writes
    // again those that do not.
    int finalCheck();
    // A unit of the block the image does not hold erased, or its end when none.
    std::uint32_t sampleUnit(const Block& block) const;
    // One block still where it was verified: its sample unit, or all of it
    // when `full`, read at readOffset.
    bool blockStillHolds(const Block& block, std::uint32_t readOffset, bool full);
    // An error whose text takes one or two addresses.
    void report(const char* format, std::uint32_t value, std::uint32_t second = 0);

    BootLink& link_;
    Connector connector_;
    WriteProgress& bar_;
    std::uint32_t eraseOffset_;
    std::vector<Block> blocks_;
    std::size_t next_ = 0;  // the first block not yet verified
    std::uint32_t total_ = 0;
    std::uint32_t done_ = 0;
    int retriesLeft_;
    bool faultSeen_ = false;  // a retry happened, or the final check found a change
    std::uint32_t stoppedAt_;
};

}  // namespace varnel
