#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/device_target.h"
#include "core/user_interface.h"

namespace varnel::fuzz {

// Messages go nowhere: a fuzz run shows thousands of them a second.
class SilentUi : public UserInterface {
public:
    void message(const std::string&, MessageKind) override {}
    bool askYesNo(const std::string&) override { return false; }
};

// Takes bytes off the front of the input: the first ones choose the case
// (chip, flavour, profile), the rest are the data under test.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    // One of the seven chips of the target table.
    std::string chip() { return std::string(kTargetTable[byte() % kTargetTable.size()].chipName); }
    // Copies up to `n` bytes into `out`, leaving the rest of `out` as it was.
    template <typename Out>
    void fill(Out& out) {
        const std::size_t n = std::min(size_, out.size());
        std::copy(data_, data_ + n, out.begin());
        data_ += n;
        size_ -= n;
    }
    const std::uint8_t* rest() const { return data_; }
    std::size_t restSize() const { return size_; }
    std::string_view restText() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace varnel::fuzz
