#include "emulator/model/emulated_chip.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varnel {

namespace {

DeviceInfo makeInfo(std::uint16_t validStart, std::uint16_t validEnd, std::uint16_t redirectBase,
                    std::uint16_t vectorLow, std::uint16_t eraseBlock, std::uint16_t writeBlock,
                    std::array<std::uint8_t, 8> prologue, const char* deviceId) {
    DeviceInfo info;
    info.validStart = validStart;
    info.validEnd = validEnd;
    info.redirectBase = redirectBase;
    info.vectorLow = vectorLow;
    info.eraseBlockSize = eraseBlock;
    info.writeBlockSize = writeBlock;
    info.redirectPrologue = prologue;
    info.deviceId = deviceId;
    return info;
}

// Supply 12.0 V in each family's own units (17, 13.783 and 12.75 per volt);
// temperature 25 C as the HC08 boards' 1.9608 K steps or the JM boards' c + 100.
constexpr std::uint8_t kVoltsKX8 = 204;
constexpr std::uint8_t kVoltsJL16 = 165;
constexpr std::uint8_t kVoltsOther = 153;
constexpr std::uint8_t kKelvinSteps25C = 152;
constexpr std::uint8_t kJmTemp25C = 125;

// The HC08 boards keep their bootloader at the top of the 64 KiB map, so the
// firmware's vectors are redirected through a jump table below it; the HCS08
// boards ("AW", "JM") relocate vectors in hardware. Every settings and script
// area starts on an erase-block boundary so a settings write never wipes code.
const std::array<EmulatedChip, 7> kChips{{
    {"KX8", KindKX8,
     makeInfo(0xE000, 0xFD00, 0xFC80, 0xFFDC, 64, 32, {0x9D, 0x9D, 0x45, 0x00, 0x80, 0x94, 0x9D, 0x9D}, "KX8"), 0x21,
     4800, 0, 0, 0, 0, kVoltsKX8, kKelvinSteps25C, false},
    {"AP64", KindAP64,
     makeInfo(0x0870, 0xFA00, 0xF800, 0xFFC0, 512, 64, {0x9D, 0x45, 0x08, 0x70, 0x94, 0x9D, 0x9D, 0x9D}, "AP64-HT"),
     0x24, 4800, 0, 0, 0, 0, kVoltsOther, kKelvinSteps25C, false},
    {"AW60", KindAP64,
     makeInfo(0x0870, 0xFC00, 0xFBC0, 0xFFC0, 512, 64, {0x45, 0x10, 0x70, 0x94, 0x9D, 0x9D, 0x9D, 0x9D}, "AW60-HT"),
     0x31, 4800, 0, 0, 0, 0, kVoltsOther, kKelvinSteps25C, false},
    {"JL16", KindJL16,
     makeInfo(0xC000, 0xFC00, 0xFB00, 0xFFE0, 128, 64, {0x9D, 0x45, 0x01, 0x00, 0x94, 0x9D, 0x9D, 0x9D}, "JL16-T"),
     0x22, 4800, 0, 0, 0, 0, kVoltsJL16, kKelvinSteps25C, false},
    {"AW32", KindJL16,
     makeInfo(0x8000, 0xFC00, 0xFBC0, 0xFFC0, 128, 64, {0x45, 0x10, 0x70, 0x94, 0x9D, 0x9D, 0x9D, 0x9D}, "AW32-T"),
     0x31, 4800, 0, 0, 0, 0, kVoltsJL16, kKelvinSteps25C, false},
    {"JM60", KindJM60,
     makeInfo(0x10B0, 0xFC00, 0xFBC0, 0xFFC0, 512, 64, {0x45, 0x10, 0xB0, 0x94, 0x9D, 0x9D, 0x9D, 0x9D}, "JM60-HT"),
     0x41, 4800, 0, 0, 0, 0, kVoltsOther, kJmTemp25C, true, true},
    // validEnd 0x8000 in 4-byte units is byte address 0x20000.
    {"JM128", KindJM128,
     makeInfo(0x0000, 0x8000, 0xFFC0, 0xFFC0, 1024, 128, {0x45, 0x10, 0xB0, 0x94, 0x9D, 0x9D, 0x9D, 0x9D}, "JM128-HT"),
     0x42, 4800, 2, 0x0000, 0x7000, 0x10000, kVoltsOther, kJmTemp25C, false, true},
}};

}  // namespace

namespace {

std::uint8_t rawByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

std::uint8_t voltageRawFor(const EmulatedChip& chip, double volts) {
    const double stepsPerVolt = chip.kind == KindKX8 ? 17.0 : chip.kind == KindJL16 ? 13.783 : 12.75;
    return rawByte(volts * stepsPerVolt);
}

std::uint8_t temperatureRawFor(const EmulatedChip& chip, double celsius) {
    if (chip.kind == KindJM60 || chip.kind == KindJM128) return rawByte(celsius + 100);
    return rawByte((celsius + 273.15) / 1.9608);
}

const EmulatedChip* findEmulatedChip(std::string_view chipName) {
    for (const auto& chip : kChips)
        if (chip.chipName == chipName) return &chip;
    return nullptr;
}

const EmulatedChip* emulatedChips(std::size_t& count) {
    count = kChips.size();
    return kChips.data();
}

}  // namespace varnel
