// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::acquisition {

// The information block is the instrument's register space 0xFF00..0xFF9F as it stood when
// the frame was taken: offset k is register 0xFF00 + k. The settings frame's registers read
// back as written; the rest carry the frame's status.
namespace info {
constexpr std::size_t kSize = 160;

constexpr std::size_t FrameStatus = 0;      // bit 0 roll data, 1 roll wrapped, 2 no trigger position,
                                            // 3 PAL/SECAM, 4 NTSC, 5 A1 overdriven, 6 A2 overdriven
constexpr std::size_t TriggerFlags = 1;     // bits 0..2 source, 4 edge down, 6 averaging, 7 peak detect
constexpr std::size_t ChannelFlags = 2;     // bits 5, 6 condition class, 7 trigger active
constexpr std::size_t ConditionStatus = 3;  // bits 0, 1, 5
constexpr std::size_t AcquisitionFlags = 4; // bit 0 fast digital, 1 ETS, 2 analyser with decimation
constexpr std::size_t Decimation = 5;       // 32-bit
constexpr std::size_t PreTrigger = 9;       // 16-bit
constexpr std::size_t PostTrigger = 11;     // 16-bit
constexpr std::size_t A1Lower = 13;         // trigger thresholds, 8-bit codes
constexpr std::size_t A1Upper = 14;
constexpr std::size_t A2Lower = 15;
constexpr std::size_t A2Upper = 16;
constexpr std::size_t ConditionCount = 17; // 16-bit, measured pulse number or video line
constexpr std::size_t HiResExponent = 21;
constexpr std::size_t ConditionTime = 22; // 32-bit, measured time of the condition
constexpr std::size_t ChannelMask = 32;   // bit 0 A1, 1 A2, 2 D1+D2, 3 D3+D4, 4 fast digital, 5 ETS
constexpr std::size_t RunFlags = 33;
constexpr std::size_t Sequence = 35;
constexpr std::size_t GainA1 = 38;
constexpr std::size_t GainA2 = 39;
constexpr std::size_t RollWriteIndex = 40;       // 16-bit, next sample to be written
constexpr std::size_t TriggerNeighbourhood = 44; // analog: samples before (44) and after (45)
                                                 // digital: 16 bits around the trigger point
constexpr std::size_t DeviceType = 46;           // 16-bit
constexpr std::size_t FrontEndA1 = 64;
constexpr std::size_t FrontEndA2 = 65;
constexpr std::size_t Word36 = 118; // 16-bit, kept in header word 36

// Channel-mask bits.
constexpr std::uint8_t kMaskA1 = 0x01;
constexpr std::uint8_t kMaskA2 = 0x02;
constexpr std::uint8_t kMaskD12 = 0x04;
constexpr std::uint8_t kMaskD34 = 0x08;
constexpr std::uint8_t kMaskFastDigital = 0x10;
constexpr std::uint8_t kMaskEts = 0x20;
} // namespace info

inline std::uint32_t infoByte(std::span<const std::uint8_t> block, std::size_t at) {
    return block[at];
}

inline std::uint32_t infoWord16(std::span<const std::uint8_t> block, std::size_t at) {
    return static_cast<std::uint32_t>(block[at]) | (static_cast<std::uint32_t>(block[at + 1]) << 8);
}

inline std::uint32_t infoWord32(std::span<const std::uint8_t> block, std::size_t at) {
    return infoWord16(block, at) | (infoWord16(block, at + 2) << 16);
}

} // namespace kx::acquisition
