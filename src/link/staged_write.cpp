#include "link/staged_write.h"

#include <algorithm>
#include <cstdio>

#include "core/user_interface.h"
#include "config/device_target.h"
#include "link/address_rules.h"
#include "link/boot_link.h"
#include "link/boot_protocol.h"
#include "link/confirmed_reads.h"
#include "link/connector.h"
#include "link/link_messages.h"
#include "link/range_writer.h"
#include "link/write_progress.h"

namespace varnel {

namespace {

// Passes everything on and remembers the last range, so the bar can be left
// one step short of its upper bound at the end. A fresh bar runs 0..100.
class RangeKeepingProgress : public WriteProgress {
public:
    explicit RangeKeepingProgress(WriteProgress& view) : view_(view) {}
    void setRange(int low, int high) override {
        high_ = high;
        view_.setRange(low, high);
    }
    void setPosition(int position) override { view_.setPosition(position); }
    void setStatus(const std::string& text) override { view_.setStatus(text); }
    void setNote(const std::string& text) override { view_.setNote(text); }
    int high() const { return high_; }

private:
    WriteProgress& view_;
    int high_ = 100;
};

// 'U' copies the verified staging area over the low part. The copy is the
// bootloader's own, but the command and its reply cross the line: a reply
// that is not the acknowledgement means it may not have happened, and the
// low part is read back to be sure. 'U' may safely run again.
int commitConfirmed(BootLink& link) {
    Connector connector(link);
    for (int tries = 1;; ++tries) {
        if (link.commitStaged() == boot_protocol::kAck &&
            readBack(link, 0, staged_load::kLowPartEnd, 0) == ReadBack::Matches)
            return 0;
        const bool retry = tries < boot_protocol::kBlockTries && connector.resynchronise();
        if (!retry && connector.fallBackToSlowLine()) {
            tries = 0;
            continue;
        }
        if (!retry) {
            link.ui().message(link_messages::kCommitFailed);
            return -1;
        }
    }
}

// The three stages of a JM128 firmware load. The last stage's erases come
// after the commit, and one whose address the line changed can empty a block
// of the low part, which that stage's own check does not read: the low part
// is read again at the end, and all three stages run again if it changed.
WriteResult writeStaged(BootLink& link, WriteProgress& progress) {
    for (int round = 1;; ++round) {
        progress.setStatus(write_status::kStage1);
        RangeWriter stage1(link, 0, staged_load::kLowPartEnd, staged_load::kStagingOffset, progress);
        if (stage1.run() != 0) return {-1, stage1.stoppedAt()};
        progress.setStatus(write_status::kStage2);
        if (commitConfirmed(link) != 0) return {-1, stage1.stoppedAt()};
        progress.setStatus(write_status::kStage3);
        RangeWriter stage3(link, staged_load::kLowPartEnd, staged_load::kStage3End, 0, progress);
        if (stage3.run() != 0) return {-1, stage3.stoppedAt()};
        if (stage3.stillHolds(0, staged_load::kLowPartEnd)) return {0, stage3.stoppedAt()};
        if (round >= boot_protocol::kBlockTries) {
            link.ui().message(link_messages::kLowPartChanged, MessageKind::Error);
            return {-1, stage3.stoppedAt()};
        }
    }
}

}  // namespace

std::string writeFailureNote(const BootLink& link, const WriteResult& result) {
    if (!link.flashMayHaveChanged()) return kNothingWritten;
    const std::uint32_t at = result.stoppedAt;
    const DeviceTarget& t = link.target();
    const char* area = kAreaFirmware;
    if (t.settingsSize != 0 && at >= t.settingsAddress && at < t.settingsAddress + t.settingsSize) area = kAreaSettings;
    else if (t.hasScript() && at >= t.scriptAddress && at < t.scriptAddress + kScriptAreaSize) area = kAreaScript;
    char text[256];
    std::snprintf(text, sizeof text, kIncompleteArea, area, static_cast<unsigned>(at));
    return text;
}

WriteResult writeImage(BootLink& link, WriteProgress& view) {
    RangeKeepingProgress progress(view);
    // What the link has to say while the write runs goes under its status.
    struct NotesInProgress {
        BootLink& link;
        ~NotesInProgress() { link.showNotesIn(nullptr); }
    } notes{link};
    link.showNotesIn(&progress);
    progress.setStatus(write_status::kStandBy);
    FlashImage& image = link.image();
    WriteResult result;

    if (link.target().kind == KindJM128 && image.touched[0] != kUntouched) {
        // The whole low part is staged and everything up to 0x17000 written,
        // whether or not the firmware file covered it.
        std::fill(image.touched.begin(), image.touched.begin() + staged_load::kForcedTouchedEnd, kTouchedData);
        result = writeStaged(link, progress);
    } else {
        RangeWriter writer = RangeWriter::forTouched(link, progress);
        result = {writer.run(), writer.stoppedAt()};
    }
    if (result.status != 0) {
        link.ui().message(link_messages::kConfigWriteFailed, MessageKind::Error);
        result.status = -1;
    }
    progress.setStatus(result.status == 0 ? write_status::kFinished : write_status::kFailed);
    progress.setPosition(progress.high() - 1);
    return result;
}

}  // namespace varnel
