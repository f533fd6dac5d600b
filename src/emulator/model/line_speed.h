#pragma once

#include <cstdint>
#include <vector>

namespace varnel {

// The serial line as the UART sees it: both ends must agree on the speed.
inline constexpr std::uint32_t kBootloaderSpeed = 19200;
inline constexpr std::uint32_t kFastLinkSpeedH = 115200;
inline constexpr std::uint32_t kFastLinkSpeedT = 57600;

// What a receiver listening at `listening` makes of bytes sent at `sent`
// (0 for either: unknown, taken as matching). A byte sent slower than the
// receiver listens holds the line low for longer than a whole frame, so it is
// heard as 0x00 with a framing error; a byte sent faster is over before the
// receiver samples its start bit, so nothing is heard.
std::vector<std::uint8_t> hearAtSpeed(const std::uint8_t* data, std::size_t n, std::uint32_t sent,
                                      std::uint32_t listening);

// Wire time of n bytes at speed (10 bits a byte: start, 8 data, stop), in microseconds.
inline std::uint64_t wireTimeMicros(std::size_t n, std::uint32_t speed) {
    return speed == 0 ? 0 : std::uint64_t{n} * 10u * 1000000u / speed;
}

}  // namespace varnel
