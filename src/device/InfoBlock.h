// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::device {

// The information block is the instrument's register space 0xFF00..0xFF9F as it stood when
// the frame was taken: offset k is register 0xFF00 + k. The settings frame's registers read
// back as written; the rest carry the frame's status.
namespace info {
constexpr std::size_t kSize = 160;

constexpr std::size_t FrameStatus = 0;      // kStatus* bits
constexpr std::size_t TriggerFlags = 1;     // kTrigger* bits
constexpr std::size_t ChannelFlags = 2;     // kChannel* bits
constexpr std::size_t ConditionStatus = 3;  // kCondition* bits
constexpr std::size_t AcquisitionFlags = 4; // kAcquisition* bits
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
constexpr std::size_t RunFlags = 33;       // kRun* bits
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

// Frame status bits.
constexpr std::uint8_t kStatusRollData = 0x01;     // a roll frame holds samples
constexpr std::uint8_t kStatusRollWrapped = 0x02;  // the roll ring has wrapped
constexpr std::uint8_t kStatusNoTriggerPos = 0x04; // untriggered: no trigger position
constexpr std::uint8_t kStatusPal = 0x08;          // video: PAL/SECAM detected
constexpr std::uint8_t kStatusNtsc = 0x10;         // video: NTSC detected
constexpr std::uint8_t kStatusOverdriveA1 = 0x20;
constexpr std::uint8_t kStatusOverdriveA2 = 0x40;

// Trigger flag bits (the low three bits are the source 0..5).
constexpr std::uint8_t kTriggerSourceMask = 0x07;
constexpr std::uint8_t kTriggerEdgeDown = 0x10;
constexpr std::uint8_t kTriggerAveraging = 0x40;
constexpr std::uint8_t kTriggerPeakDetect = 0x80;

// Channel flag bits: the condition class in bits 5 and 6, the trigger unit armed in bit 7.
constexpr std::uint8_t kChannelClassBit5 = 0x20;
constexpr std::uint8_t kChannelClassBit6 = 0x40;
constexpr std::uint8_t kChannelTriggerActive = 0x80;

// Condition status bits: the time condition (bits 0, 1) and the video line found (bit 5).
constexpr std::uint8_t kConditionTimeMask = 0x03;
constexpr std::uint8_t kConditionVideoLine = 0x20;

// Acquisition flag bits.
constexpr std::uint8_t kAcquisitionFastDigital = 0x01;
constexpr std::uint8_t kAcquisitionEts = 0x02;
constexpr std::uint8_t kAcquisitionAnalyzer = 0x04;

// Run flag bits.
constexpr std::uint8_t kRunRoll = 0x04;

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

} // namespace kx::device
