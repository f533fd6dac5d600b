#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "config/device_target.h"
#include "core/bytes.h"

namespace varnel {

// The weather-station firmware keeps one 125-byte record where a tracker
// keeps its profile 1 (offset 5 of the settings record). Its first 34 bytes
// follow the tracker profile (delay, interval, callsign, path); from offset
// 34 on the layout is the weather firmware's own. Offsets are relative to
// the record; 16-bit numbers are big-endian.
namespace weather_layout {
inline constexpr std::size_t kSize = 125;

inline constexpr std::size_t kTxDelay = 0;           // milliseconds / 4
inline constexpr std::size_t kTransmitInterval = 1;  // u16 seconds
inline constexpr std::size_t kWindFlags = 3;
inline constexpr std::size_t kOptionFlags = 4;
inline constexpr std::size_t kSourceAddress = 5;  // 7-byte AX.25 address
inline constexpr std::size_t kSourceSsid = 11;    // its SSID byte
inline constexpr std::size_t kPathLength = 12;    // 0 to 21
inline constexpr std::size_t kPath = 13;          // up to three addresses
inline constexpr std::size_t kPathSize = 21;
inline constexpr std::size_t kTempOffset = 34;        // signed, degrees Celsius
inline constexpr std::size_t kCommentCompanion = 35;  // 0 whenever a comment is stored
inline constexpr std::size_t kCommentLength = 36;
inline constexpr std::size_t kCommentLengthCopy = 43;
inline constexpr std::size_t kPowerDelay = 44;          // seconds
inline constexpr std::size_t kStatusEvery = 45;         // every n transmissions
inline constexpr std::size_t kWindVane = 46;            // 0 to 15, 22.5 degree steps
inline constexpr std::size_t kMinimumInterval = 47;     // u16 seconds
inline constexpr std::size_t kSpeedThreshold = 49;      // MPH
inline constexpr std::size_t kDirectionThreshold = 50;  // degrees
inline constexpr std::size_t kMinimumSpeed = 51;        // MPH
inline constexpr std::size_t kQuietTime = 53;
inline constexpr std::size_t kLowVoltage = 54;  // volts x scale; 0: never stop
inline constexpr std::size_t kAudioLevel = 55;
inline constexpr std::size_t kModem300Baud = 56;  // 0: 1200 baud, 1: 300 baud
inline constexpr std::size_t kRadioFlags = 57;
inline constexpr std::size_t kComment = 61;  // up to 44 characters and a NUL
inline constexpr std::size_t kCommentMax = 44;
inline constexpr std::size_t kLatitude = 108;  // "DDMM.mmN"
inline constexpr std::size_t kLatitudeSize = 8;
inline constexpr std::size_t kLongitude = 116;  // "DDDMM.mmE"
inline constexpr std::size_t kLongitudeSize = 9;

inline constexpr std::uint8_t kWindTransmitOnChange = 0x80;  // wind flags
inline constexpr std::uint8_t kOptionPowerControl = 0x04;    // option flags
inline constexpr std::uint8_t kOptionStored = 0x10;          // set on every store
inline constexpr std::uint8_t kSsidAlwaysSet = 0x80;         // source SSID byte
inline constexpr std::uint8_t kSsidLastAddress = 0x01;       // source SSID byte: no path follows
inline constexpr std::uint8_t kRadioSoftCarrierDetect = 0x20;

// The settings the weather firmware keeps at its settings address: the
// 5-byte header, the record and the bytes after it, as one flat block.
inline constexpr std::size_t kSettingsBlockSize = 255;
}  // namespace weather_layout

// Device units per volt of the low-voltage limit. The JM60 and JM128 weather
// boards have no known divider, so there the limit is neither shown nor
// derived from the edit.
inline std::optional<double> weatherVoltageScale(TargetKind kind) {
    switch (kind) {
    case KindKX8: return 17.0;
    case KindAP64: return 12.75;
    case KindJL16: return 13.783;
    default: return std::nullopt;
    }
}

// A view over the record in the profile-1 slot; it owns nothing.
// WeatherRecord reads and writes; ConstWeatherRecord only reads (its setters
// are never instantiated).
template <typename Byte>
class BasicWeatherRecord {
public:
    explicit BasicWeatherRecord(Byte* bytes) : p_(bytes) {}

    Byte* data() const { return p_; }
    std::uint8_t u8(std::size_t offset) const { return p_[offset]; }
    void setU8(std::size_t offset, std::uint8_t v) const { p_[offset] = v; }
    bool flag(std::size_t offset, std::uint8_t mask) const { return (p_[offset] & mask) != 0; }
    void setFlag(std::size_t offset, std::uint8_t mask, bool on) const {
        p_[offset] = static_cast<std::uint8_t>(on ? (p_[offset] | mask) : (p_[offset] & ~mask));
    }

    std::uint8_t txDelaySteps() const { return u8(weather_layout::kTxDelay); }
    void setTxDelaySteps(std::uint8_t v) const { setU8(weather_layout::kTxDelay, v); }
    std::uint16_t transmitInterval() const { return getU16BE(p_ + weather_layout::kTransmitInterval); }
    void setTransmitInterval(std::uint16_t v) const { putU16BE(p_ + weather_layout::kTransmitInterval, v); }
    bool transmitOnWindChange() const {
        return flag(weather_layout::kWindFlags, weather_layout::kWindTransmitOnChange);
    }
    void setTransmitOnWindChange(bool on) const {
        setFlag(weather_layout::kWindFlags, weather_layout::kWindTransmitOnChange, on);
    }
    bool powerControl() const { return flag(weather_layout::kOptionFlags, weather_layout::kOptionPowerControl); }
    void setPowerControl(bool on) const {
        setFlag(weather_layout::kOptionFlags, weather_layout::kOptionPowerControl, on);
    }
    void markStored() const { setFlag(weather_layout::kOptionFlags, weather_layout::kOptionStored, true); }

    Byte* sourceAddress() const { return p_ + weather_layout::kSourceAddress; }
    std::uint8_t pathLength() const { return u8(weather_layout::kPathLength); }
    void setPathLength(std::uint8_t v) const { setU8(weather_layout::kPathLength, v); }
    Byte* path() const { return p_ + weather_layout::kPath; }

    std::int8_t tempOffset() const { return static_cast<std::int8_t>(u8(weather_layout::kTempOffset)); }
    void setTempOffset(std::int8_t v) const { setU8(weather_layout::kTempOffset, static_cast<std::uint8_t>(v)); }

    // The comment as many characters as its length byte says, never more
    // than the 44 the slot holds (a damaged length would otherwise show the
    // position fields behind it as comment text).
    std::string comment() const {
        const std::size_t n = std::min<std::size_t>(u8(weather_layout::kCommentLength), weather_layout::kCommentMax);
        const char* text = reinterpret_cast<const char*>(p_ + weather_layout::kComment);
        return std::string(text, strnlen(text, n));
    }
    // A comment (at most 44 characters) with its NUL and both length
    // copies; an empty one only clears the lengths.
    void setComment(std::string_view text) const {
        const std::size_t n = std::min(text.size(), weather_layout::kCommentMax);
        if (n > 0) {
            std::copy_n(text.begin(), n, p_ + weather_layout::kComment);
            p_[weather_layout::kComment + n] = 0;
            setU8(weather_layout::kCommentCompanion, 0);
        }
        setU8(weather_layout::kCommentLength, static_cast<std::uint8_t>(n));
        setU8(weather_layout::kCommentLengthCopy, static_cast<std::uint8_t>(n));
    }

    std::uint8_t powerDelay() const { return u8(weather_layout::kPowerDelay); }
    void setPowerDelay(std::uint8_t v) const { setU8(weather_layout::kPowerDelay, v); }
    std::uint8_t statusEvery() const { return u8(weather_layout::kStatusEvery); }
    void setStatusEvery(std::uint8_t v) const { setU8(weather_layout::kStatusEvery, v); }
    std::uint8_t windVane() const { return u8(weather_layout::kWindVane); }
    void setWindVane(std::uint8_t v) const { setU8(weather_layout::kWindVane, v); }
    std::uint16_t minimumInterval() const { return getU16BE(p_ + weather_layout::kMinimumInterval); }
    void setMinimumInterval(std::uint16_t v) const { putU16BE(p_ + weather_layout::kMinimumInterval, v); }
    std::uint8_t speedThreshold() const { return u8(weather_layout::kSpeedThreshold); }
    void setSpeedThreshold(std::uint8_t v) const { setU8(weather_layout::kSpeedThreshold, v); }
    std::uint8_t directionThreshold() const { return u8(weather_layout::kDirectionThreshold); }
    void setDirectionThreshold(std::uint8_t v) const { setU8(weather_layout::kDirectionThreshold, v); }
    std::uint8_t minimumSpeed() const { return u8(weather_layout::kMinimumSpeed); }
    void setMinimumSpeed(std::uint8_t v) const { setU8(weather_layout::kMinimumSpeed, v); }
    std::uint8_t quietTime() const { return u8(weather_layout::kQuietTime); }
    void setQuietTime(std::uint8_t v) const { setU8(weather_layout::kQuietTime, v); }
    std::uint8_t lowVoltage() const { return u8(weather_layout::kLowVoltage); }
    void setLowVoltage(std::uint8_t v) const { setU8(weather_layout::kLowVoltage, v); }
    std::uint8_t audioLevel() const { return u8(weather_layout::kAudioLevel); }
    void setAudioLevel(std::uint8_t v) const { setU8(weather_layout::kAudioLevel, v); }
    std::uint8_t modem300Baud() const { return u8(weather_layout::kModem300Baud); }
    void setModem300Baud(bool slow) const { setU8(weather_layout::kModem300Baud, slow ? 1 : 0); }
    bool softwareCarrierDetect() const {
        return flag(weather_layout::kRadioFlags, weather_layout::kRadioSoftCarrierDetect);
    }
    void setSoftwareCarrierDetect(bool on) const {
        setFlag(weather_layout::kRadioFlags, weather_layout::kRadioSoftCarrierDetect, on);
    }

    std::string latitude() const { return text(weather_layout::kLatitude, weather_layout::kLatitudeSize); }
    void setLatitude(std::string_view t) const { putText(weather_layout::kLatitude, weather_layout::kLatitudeSize, t); }
    std::string longitude() const { return text(weather_layout::kLongitude, weather_layout::kLongitudeSize); }
    void setLongitude(std::string_view t) const {
        putText(weather_layout::kLongitude, weather_layout::kLongitudeSize, t);
    }

private:
    std::string text(std::size_t at, std::size_t n) const {
        return std::string(reinterpret_cast<const char*>(p_ + at), n);
    }
    void putText(std::size_t at, std::size_t n, std::string_view t) const {
        std::copy_n(t.begin(), std::min(n, t.size()), p_ + at);
    }

    Byte* p_;
};

using WeatherRecord = BasicWeatherRecord<std::uint8_t>;
using ConstWeatherRecord = BasicWeatherRecord<const std::uint8_t>;

}  // namespace varnel
