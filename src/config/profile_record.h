#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "config/device_target.h"
#include "config/profile_layout.h"
#include "core/bytes.h"

namespace varnel {

// A typed view over one 191-byte profile slot of the SettingsRecord. It owns
// nothing: the bytes stay in the working record and every accessor reads or
// writes them in place. The chip kind decides the few fields that move
// between chips (fixed position, the 300-baud choice, ioFlags bit 0).
//
// ProfileRecord writes; ConstProfileRecord only reads.
template <typename Byte>
class BasicProfileRecord {
    static constexpr bool kWritable = !std::is_const_v<Byte>;

public:
    BasicProfileRecord(Byte* bytes, TargetKind kind) : p_(bytes), kind_(kind) {}

    Byte* data() const { return p_; }
    TargetKind kind() const { return kind_; }

    // Raw access by offset, for the bytes other dialogs own.
    std::uint8_t u8(std::size_t offset) const { return p_[offset]; }
    std::uint16_t u16(std::size_t offset) const { return getU16BE(p_ + offset); }
    bool flag(std::size_t offset, std::uint8_t mask) const { return (p_[offset] & mask) != 0; }
    void setU8(std::size_t offset, std::uint8_t v) const requires kWritable { p_[offset] = v; }
    void setU16(std::size_t offset, std::uint16_t v) const requires kWritable { putU16BE(p_ + offset, v); }
    void setFlag(std::size_t offset, std::uint8_t mask, bool on) const requires kWritable {
        p_[offset] = static_cast<std::uint8_t>(on ? (p_[offset] | mask) : (p_[offset] & ~mask));
    }

    // --- beaconing and reports -------------------------------------------
    std::uint8_t txDelay() const { return u8(profile_layout::kTxDelay); }
    void setTxDelay(std::uint8_t v) const requires kWritable { setU8(profile_layout::kTxDelay, v); }
    std::uint16_t beaconInterval() const { return u16(profile_layout::kBeaconInterval); }
    void setBeaconInterval(std::uint16_t v) const requires kWritable { setU16(profile_layout::kBeaconInterval, v); }
    std::uint8_t reportFlags() const { return u8(profile_layout::kReportFlags); }
    void setReportFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kReportFlags, v); }
    std::uint8_t optionFlags() const { return u8(profile_layout::kOptionFlags); }
    void setOptionFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kOptionFlags, v); }

    // --- addresses -------------------------------------------------------
    Byte* sourceAddress() const { return p_ + profile_layout::kSourceAddress; }
    std::uint8_t pathLength() const { return u8(profile_layout::kPathLength); }
    void setPathLength(std::uint8_t v) const requires kWritable { setU8(profile_layout::kPathLength, v); }
    Byte* path() const { return p_ + profile_layout::kPath; }

    // Family 2 keeps "CALL>APRS:" with a NUL where the path would be.
    std::string textHeader() const { return cString(profile_layout::kTextHeader, profile_layout::kTextHeaderSize); }
    void setTextHeader(std::string_view text) const requires kWritable {
        putCString(profile_layout::kTextHeader, profile_layout::kTextHeaderSize, text);
    }
    std::uint16_t carrierWord() const { return u16(profile_layout::kCarrierWord); }
    void setCarrierWord(std::uint16_t v) const requires kWritable { setU16(profile_layout::kCarrierWord, v); }
    std::uint8_t carrierMultiplier() const { return u8(profile_layout::kCarrierMultiplier); }
    void setCarrierMultiplier(std::uint8_t v) const requires kWritable { setU8(profile_layout::kCarrierMultiplier, v); }

    char symbolTable() const { return static_cast<char>(u8(profile_layout::kSymbolTable)); }
    void setSymbolTable(char c) const requires kWritable {
        setU8(profile_layout::kSymbolTable, static_cast<std::uint8_t>(c));
    }
    char symbolCode() const { return static_cast<char>(u8(profile_layout::kSymbolCode)); }
    void setSymbolCode(char c) const requires kWritable {
        setU8(profile_layout::kSymbolCode, static_cast<std::uint8_t>(c));
    }

    // --- SmartBeaconing --------------------------------------------------
    std::uint16_t slowInterval() const { return u16(profile_layout::kSlowInterval); }
    void setSlowInterval(std::uint16_t v) const requires kWritable { setU16(profile_layout::kSlowInterval, v); }
    std::uint8_t lowSpeed() const { return u8(profile_layout::kLowSpeed); }
    void setLowSpeed(std::uint8_t v) const requires kWritable { setU8(profile_layout::kLowSpeed, v); }
    std::uint8_t highSpeed() const { return u8(profile_layout::kHighSpeed); }
    void setHighSpeed(std::uint8_t v) const requires kWritable { setU8(profile_layout::kHighSpeed, v); }
    std::uint8_t turnAngle() const { return u8(profile_layout::kTurnAngle); }
    void setTurnAngle(std::uint8_t v) const requires kWritable { setU8(profile_layout::kTurnAngle, v); }
    std::uint8_t turnInterval() const { return u8(profile_layout::kTurnInterval); }
    void setTurnInterval(std::uint8_t v) const requires kWritable { setU8(profile_layout::kTurnInterval, v); }

    // --- timeslot and radio modem speed ------------------------------------
    std::uint16_t timeslotWord() const { return u16(profile_layout::kTimeslot); }
    void setTimeslotWord(std::uint16_t v) const requires kWritable { setU16(profile_layout::kTimeslot, v); }
    std::uint16_t timeslotSeconds() const { return timeslotWord() & profile_layout::kTimeslotSecondsMask; }
    // KX8 has no baud300 byte in its 125 bytes, so it borrows bit 15 of the
    // timeslot word; the other chips always write that bit 0.
    void setTimeslot(std::uint16_t seconds, bool kx8Baud300) const requires kWritable {
        std::uint16_t word = seconds & profile_layout::kTimeslotSecondsMask;
        if (kind_ == KindKX8 && kx8Baud300) word |= profile_layout::kTimeslotKX8Baud300;
        setTimeslotWord(word);
    }
    std::uint8_t baud300() const { return u8(profile_layout::kBaud300); }
    void setBaud300(std::uint8_t v) const requires kWritable { setU8(profile_layout::kBaud300, v); }
    // True for the 300-baud modem, false for 1200 baud, nothing when a
    // non-KX8 baud300 byte holds neither 0 nor 1.
    std::optional<bool> radioModem300Baud() const {
        if (kind_ == KindKX8) return (timeslotWord() & profile_layout::kTimeslotKX8Baud300) != 0;
        if (baud300() == 0) return false;
        if (baud300() == 1) return true;
        return std::nullopt;
    }

    // --- levels, delays, counts ------------------------------------------
    std::uint8_t audioLevel() const { return u8(profile_layout::kAudioLevel); }
    void setAudioLevel(std::uint8_t v) const requires kWritable { setU8(profile_layout::kAudioLevel, v); }
    std::int8_t tempOffset() const { return static_cast<std::int8_t>(u8(profile_layout::kTempOffset)); }
    void setTempOffset(std::int8_t v) const requires kWritable {
        setU8(profile_layout::kTempOffset, static_cast<std::uint8_t>(v));
    }
    std::uint8_t powerOnDelay() const { return u8(profile_layout::kPowerOnDelay); }
    void setPowerOnDelay(std::uint8_t v) const requires kWritable { setU8(profile_layout::kPowerOnDelay, v); }
    std::uint8_t everyCounts() const { return u8(profile_layout::kEveryCounts); }
    void setEveryCounts(std::uint8_t v) const requires kWritable { setU8(profile_layout::kEveryCounts, v); }
    // Status text every n transmissions (0: a comment with every position).
    std::uint8_t statusEvery() const { return everyCounts() & 0x0F; }
    void setStatusEvery(std::uint8_t n) const requires kWritable {
        setEveryCounts(static_cast<std::uint8_t>((everyCounts() & 0xF0) | (n & 0x0F)));
    }
    // Telemetry packet every n transmissions (0: none).
    std::uint8_t telemetryEvery() const { return everyCounts() >> 4; }
    void setTelemetryEvery(std::uint8_t n) const requires kWritable {
        setEveryCounts(static_cast<std::uint8_t>((everyCounts() & 0x0F) | ((n & 0x0F) << 4)));
    }
    std::uint8_t ioFlags() const { return u8(profile_layout::kIoFlags); }
    void setIoFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kIoFlags, v); }
    std::uint8_t counterRearm() const { return u8(profile_layout::kCounterRearm); }
    void setCounterRearm(std::uint8_t v) const requires kWritable { setU8(profile_layout::kCounterRearm, v); }
    std::uint8_t quietTime() const { return u8(profile_layout::kQuietTime); }
    void setQuietTime(std::uint8_t v) const requires kWritable { setU8(profile_layout::kQuietTime, v); }
    std::uint8_t lowVoltage() const { return u8(profile_layout::kLowVoltage); }
    void setLowVoltage(std::uint8_t v) const requires kWritable { setU8(profile_layout::kLowVoltage, v); }

    // ioFlags bit 0: the power control output's active-low choice exists only
    // on KX8 and JL16/AW32; the other chips use the bit for custom waypoint
    // symbols. Each accessor answers nothing on chips where the bit means the
    // other thing.
    static bool ioBit0IsPowerActiveLow(TargetKind kind) { return kind == KindKX8 || kind == KindJL16; }
    std::optional<bool> powerControlActiveLow() const {
        if (!ioBit0IsPowerActiveLow(kind_)) return std::nullopt;
        return flag(profile_layout::kIoFlags, profile_layout::kIoPowerActiveLow);
    }
    std::optional<bool> customWaypointSymbols() const {
        if (ioBit0IsPowerActiveLow(kind_)) return std::nullopt;
        return flag(profile_layout::kIoFlags, profile_layout::kIoCustomWaypointSymbols);
    }

    // --- text ------------------------------------------------------------
    std::uint8_t textLength() const { return u8(profile_layout::kTextLength); }
    void setTextLength(std::uint8_t v) const requires kWritable { setU8(profile_layout::kTextLength, v); }
    // The first textLength characters; a length byte beyond the text field
    // (erased flash holds 0xFF) is held to the field's 61 characters.
    std::string text() const {
        const std::size_t n = std::min<std::size_t>(textLength(), kMaxTextChars);
        return std::string(reinterpret_cast<const char*>(p_ + profile_layout::kText), n);
    }
    // A non-empty text goes in with its NUL and sets the length; an empty
    // text only sets the length to 0 and leaves the old characters.
    void setText(std::string_view text) const requires kWritable {
        if (text.size() > kMaxTextChars) text = text.substr(0, kMaxTextChars);
        if (!text.empty()) {
            std::memcpy(p_ + profile_layout::kText, text.data(), text.size());
            p_[profile_layout::kText + text.size()] = 0;
        }
        setTextLength(static_cast<std::uint8_t>(text.size()));
    }
    static constexpr std::size_t kMaxTextChars = profile_layout::kTextSize - 1;

    // --- fixed position (DDMM.mmH / DDDMM.mmH, no terminator) --------------
    std::size_t fixedLatitudeOffset() const { return profile_layout::fixedLatitudeOffset(kind_); }
    std::size_t fixedLongitudeOffset() const { return profile_layout::fixedLongitudeOffset(kind_); }
    std::string fixedLatitude() const {
        return std::string(reinterpret_cast<const char*>(p_ + fixedLatitudeOffset()), profile_layout::kLatitudeSize);
    }
    std::string fixedLongitude() const {
        return std::string(reinterpret_cast<const char*>(p_ + fixedLongitudeOffset()), profile_layout::kLongitudeSize);
    }
    // Copies the characters given, at most the field's width.
    void setFixedLatitude(std::string_view text) const requires kWritable {
        putChars(fixedLatitudeOffset(), profile_layout::kLatitudeSize, text);
    }
    void setFixedLongitude(std::string_view text) const requires kWritable {
        putChars(fixedLongitudeOffset(), profile_layout::kLongitudeSize, text);
    }
    // Anything but 'N' / 'E' counts as south / west.
    bool fixedSouth() const { return p_[fixedLatitudeOffset() + profile_layout::kLatitudeSize - 1] != 'N'; }
    bool fixedWest() const { return p_[fixedLongitudeOffset() + profile_layout::kLongitudeSize - 1] != 'E'; }

    // --- features, serial ports, digipeating -----------------------------
    std::uint8_t digiAliasBits() const { return u8(profile_layout::kDigiAliasBits); }
    void setDigiAliasBits(std::uint8_t v) const requires kWritable { setU8(profile_layout::kDigiAliasBits, v); }
    std::uint8_t featureFlags() const { return u8(profile_layout::kFeatureFlags); }
    void setFeatureFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kFeatureFlags, v); }
    // 0-3 for waypoint names of 6 to 9 characters.
    std::uint8_t waypointNameLengthIndex() const { return featureFlags() & profile_layout::kFeatureWaypointNameMask; }
    void setWaypointNameLengthIndex(std::uint8_t index) const requires kWritable {
        setFeatureFlags(static_cast<std::uint8_t>((featureFlags() & ~profile_layout::kFeatureWaypointNameMask) |
                                                  (index & profile_layout::kFeatureWaypointNameMask)));
    }
    std::uint8_t digiDupeTime() const { return u8(profile_layout::kDigiDupeTime); }
    void setDigiDupeTime(std::uint8_t v) const requires kWritable { setU8(profile_layout::kDigiDupeTime, v); }
    std::uint8_t miscFlags() const { return u8(profile_layout::kMiscFlags); }
    void setMiscFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kMiscFlags, v); }
    std::uint8_t portASpeed() const { return u8(profile_layout::kPortASpeed); }
    void setPortASpeed(std::uint8_t v) const requires kWritable { setU8(profile_layout::kPortASpeed, v); }
    std::uint8_t portBSpeed() const { return u8(profile_layout::kPortBSpeed); }
    void setPortBSpeed(std::uint8_t v) const requires kWritable { setU8(profile_layout::kPortBSpeed, v); }
    std::uint8_t waypointRange() const { return u8(profile_layout::kWaypointRange); }
    void setWaypointRange(std::uint8_t v) const requires kWritable { setU8(profile_layout::kWaypointRange, v); }
    std::uint8_t portAMode() const { return u8(profile_layout::kPortAMode); }
    void setPortAMode(std::uint8_t v) const requires kWritable { setU8(profile_layout::kPortAMode, v); }
    std::uint8_t portBMode() const { return u8(profile_layout::kPortBMode); }
    void setPortBMode(std::uint8_t v) const requires kWritable { setU8(profile_layout::kPortBMode, v); }
    std::uint8_t skipCount() const { return u8(profile_layout::kSkipCount); }
    void setSkipCount(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSkipCount, v); }
    std::uint8_t channelSelect() const { return u8(profile_layout::kChannelSelect); }
    void setChannelSelect(std::uint8_t v) const requires kWritable { setU8(profile_layout::kChannelSelect, v); }
    std::uint8_t channelEvery() const { return u8(profile_layout::kChannelEvery); }
    void setChannelEvery(std::uint8_t v) const requires kWritable { setU8(profile_layout::kChannelEvery, v); }
    std::uint8_t slotFlags() const { return u8(profile_layout::kSlotFlags); }
    void setSlotFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSlotFlags, v); }
    std::uint8_t radioFlags() const { return u8(profile_layout::kRadioFlags); }
    void setRadioFlags(std::uint8_t v) const requires kWritable { setU8(profile_layout::kRadioFlags, v); }

    // --- profile switching conditions ------------------------------------
    std::uint8_t switchSpeed() const { return u8(profile_layout::kSwitchSpeed); }
    void setSwitchSpeed(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSwitchSpeed, v); }
    std::uint16_t switchAltitude() const { return u16(profile_layout::kSwitchAltitude); }
    void setSwitchAltitude(std::uint16_t v) const requires kWritable { setU16(profile_layout::kSwitchAltitude, v); }
    std::uint8_t switchAdc() const { return u8(profile_layout::kSwitchAdc); }
    void setSwitchAdc(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSwitchAdc, v); }
    std::uint8_t switchVoltage() const { return u8(profile_layout::kSwitchVoltage); }
    void setSwitchVoltage(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSwitchVoltage, v); }
    std::uint8_t switchTemperature() const { return u8(profile_layout::kSwitchTemperature); }
    void setSwitchTemperature(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSwitchTemperature, v); }
    std::uint8_t switchEnable() const { return u8(profile_layout::kSwitchEnable); }
    void setSwitchEnable(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSwitchEnable, v); }
    std::uint8_t switchCompare() const { return u8(profile_layout::kSwitchCompare); }
    void setSwitchCompare(std::uint8_t v) const requires kWritable { setU8(profile_layout::kSwitchCompare, v); }

    // Copying one profile over the other copies the whole 191-byte slot.
    template <typename Other>
    void copyFrom(const BasicProfileRecord<Other>& other) const requires kWritable {
        std::memmove(p_, other.data(), profile_layout::kSize);
    }

private:
    std::string cString(std::size_t offset, std::size_t size) const {
        const char* s = reinterpret_cast<const char*>(p_ + offset);
        const void* nul = std::memchr(s, 0, size);
        return std::string(s, nul ? static_cast<const char*>(nul) - s : size);
    }
    // At most size - 1 characters and a NUL.
    void putCString(std::size_t offset, std::size_t size, std::string_view text) const requires kWritable {
        const std::size_t n = std::min(text.size(), size - 1);
        std::memcpy(p_ + offset, text.data(), n);
        p_[offset + n] = 0;
    }
    void putChars(std::size_t offset, std::size_t size, std::string_view text) const requires kWritable {
        std::memcpy(p_ + offset, text.data(), std::min(text.size(), size));
    }

    Byte* p_;
    TargetKind kind_;
};

using ProfileRecord = BasicProfileRecord<std::uint8_t>;
using ConstProfileRecord = BasicProfileRecord<const std::uint8_t>;

extern template class BasicProfileRecord<std::uint8_t>;

}  // namespace varnel
