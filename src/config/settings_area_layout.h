#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "config/device_target.h"
#include "config/settings_record.h"

namespace varnel {

// Where each part of the working SettingsRecord sits inside a chip's settings
// area. The small chips keep shorter profiles than the 191-byte working slot
// (KX8: 125 bytes, JL16/AW32: 189 bytes) and pack them back to back behind the
// 5-byte header; the larger chips keep the whole 505-byte record byte for byte.
namespace settings_area_layout {

// One block copied between the flash image and the working record:
// `length` bytes at settings address + `areaOffset` <-> record offset `recordOffset`.
struct BlockCopy {
    std::uint32_t areaOffset;
    std::size_t recordOffset;
    std::size_t length;
};

inline constexpr std::size_t kKX8ProfileBytes = 125;
inline constexpr std::uint32_t kKX8Profile1 = 5;
inline constexpr std::uint32_t kKX8Profile2 = 130;

inline constexpr std::size_t kJL16ProfileBytes = 189;
inline constexpr std::uint32_t kJL16Profile1 = 5;
inline constexpr std::uint32_t kJL16Profile2 = 194;
// The JL16/AW32 frequency and status-text block sits at a fixed device
// address inside the settings area (offset 384 from 0xF880).
inline constexpr std::uint32_t kJL16RadioBlockAddress = radio_layout::kDeviceAddress;

inline constexpr BlockCopy kKX8Copies[] = {
    {0, settings_layout::kFamily, settings_layout::kHeaderSize},
    {kKX8Profile1, settings_layout::kProfile1, kKX8ProfileBytes},
    {kKX8Profile2, settings_layout::kProfile2, kKX8ProfileBytes},
};

inline constexpr BlockCopy kJL16Copies[] = {
    {0, settings_layout::kFamily, settings_layout::kHeaderSize},
    {kJL16Profile1, settings_layout::kProfile1, kJL16ProfileBytes},
    {kJL16Profile2, settings_layout::kProfile2, kJL16ProfileBytes},
};

// AP64/AW60, JM60 and JM128: the whole record at the settings address.
inline constexpr BlockCopy kWholeRecordCopies[] = {
    {0, 0, settings_layout::kSize},
};

// The copies for a kind; empty for no target.
inline std::span<const BlockCopy> copiesFor(TargetKind kind) {
    switch (kind) {
    case KindKX8: return kKX8Copies;
    case KindJL16: return kJL16Copies;
    case KindAP64:
    case KindJM60:
    case KindJM128: return kWholeRecordCopies;
    case KindNone: break;
    }
    return {};
}

// Only the JL16 family keeps a RadioBlock beside its settings.
inline bool hasRadioBlock(TargetKind kind) { return kind == KindJL16; }

}  // namespace settings_area_layout
}  // namespace varnel
