#pragma once

// A device model on a fake clock, for the emulator's own tests.

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "emulator/model/device_model.h"

namespace varnel {

using Bytes = std::vector<std::uint8_t>;

// Drives a model through a fake clock and collects everything it says.
struct Bench {
    explicit Bench(const std::string& chip) : model(*findEmulatedChip(chip)) {}

    Bytes hear(const Bytes& bytes, std::uint32_t speed) {
        model.receive(bytes.data(), bytes.size(), speed, now);
        return said();
    }
    // Bytes sent at the speed the device listens at.
    Bytes command(const Bytes& bytes) { return hear(bytes, model.lineSpeed()); }
    Bytes said() {
        Bytes out;
        for (const auto& chunk : model.takeOutput()) out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
        return out;
    }
    void advance(std::chrono::milliseconds ms) {
        now += ms;
        model.tick(now);
    }
    // Power-on into the bootloader and answer its announce.
    void connect() {
        model.startInBootloader(now);
        advance(std::chrono::milliseconds(0));
        ASSERT_EQ(said(), Bytes{0xFC});
        ASSERT_EQ(command({0xFC}), Bytes{0xFC});
        ASSERT_EQ(model.state(), DeviceState::Bootloader);
    }
    static Bytes addressed(std::uint8_t cmd, std::uint16_t field, std::initializer_list<int> rest = {}) {
        Bytes b{cmd, static_cast<std::uint8_t>(field >> 8), static_cast<std::uint8_t>(field & 0xFF)};
        for (int r : rest) b.push_back(static_cast<std::uint8_t>(r));
        return b;
    }

    DeviceModel model;
    DeviceModel::Clock::time_point now{};
};

}  // namespace varnel
