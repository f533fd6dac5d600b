#pragma once

#include <string>

namespace varnel {

// What a running write tells whoever shows it: the progress dialog and the
// command line's progress bar are two views of the same calls. Range and
// position count 4-byte units; the status texts come in a fixed order.
class WriteProgress {
public:
    virtual ~WriteProgress() = default;
    virtual void setRange(int low, int high) = 0;
    virtual void setPosition(int position) = 0;
    virtual void setStatus(const std::string& text) = 0;
    // A remark on how the write goes on (it went on at a slower speed), said
    // once; a view that has nowhere else for it shows it as the status.
    virtual void setNote(const std::string& text) { setStatus(text); }
};

// For callers that show nothing.
class NoWriteProgress : public WriteProgress {
public:
    void setRange(int, int) override {}
    void setPosition(int) override {}
    void setStatus(const std::string&) override {}
};

}  // namespace varnel
