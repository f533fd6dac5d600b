#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace varnel {

// The identification record the bootloader sends in answer to 'I'.
struct DeviceInfo {
    std::uint16_t validStart = 0;      // first programmable address
    std::uint16_t validEnd = 0;        // end of the programmable area (JM128: in 4-byte units)
    std::uint16_t redirectBase = 0;    // where the relocated vector table goes
    std::uint16_t vectorLow = 0;       // lowest interrupt vector address
    std::uint16_t eraseBlockSize = 0;  // power of two
    std::uint16_t writeBlockSize = 0;  // power of two
    std::array<std::uint8_t, 8> redirectPrologue{};
    std::string deviceId;  // "AP64" or "AP64-xyz": chip name, '-', capability letters

    static constexpr std::size_t kMaxDeviceIdLength = 39;

    bool operator==(const DeviceInfo&) const = default;
};

// Whether a record can be what a bootloader meant to send: block sizes that
// are powers of two, a write block inside the erase block and within the
// one-byte length field, and a programmable area that starts below its end.
bool identificationMakesSense(const DeviceInfo& info);

// Link flags and the target held across connections.
struct LinkState {
    DeviceInfo deviceInfo;
    int bootloaderVersion = 0;
    std::string chipName;      // deviceId before the first '-'; empty: no target held
    std::string targetSuffix;  // deviceId after the first '-'
    bool connected = false;
    bool sameTargetReconnected = false;
    int linkAbort = 2;  // 0 attempt running, 1 abort requested, 2 idle
    // Where and how the last connect reached the tracker, so a link that lost
    // step mid-write can find it again.
    std::string portName;
    bool fastLinkAllowed = false;
    // The speed the fast link switched to ("115200", "57600"), or empty while
    // the link runs at the bootloader's own speed.
    std::string fastSpeed;
    // The line brought replies that disagreed or that its UART flagged since
    // the last connect: the sign of a line that garbles, which a refusal or
    // a consistently wrong read-back is not.
    bool lineGarbled = false;
    // Device memory that two agreeing reads confirmed, by chunk address. The
    // bootloader changes nothing by itself, so until the next erase, write,
    // commit or connection a second look at a chunk costs no traffic (the
    // backup before a write reads what the connect read).
    std::map<std::uint32_t, std::vector<std::uint8_t>> confirmedReads;

    static constexpr int kAbortRunning = 0;
    static constexpr int kAbortRequested = 1;
    static constexpr int kAbortIdle = 2;
};

// Splits a device id into chip name (at most 31 characters) and suffix.
void splitDeviceId(const std::string& deviceId, std::string& chipName, std::string& suffix);

}  // namespace varnel
