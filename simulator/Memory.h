// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::sim {

// Address spaces the host may write: the register file 0xFF00..0xFF9F, the two calibration tables
// kept in flash at 0xF400 and 0xF600, and the AWG waveform memory at 0xA000.
constexpr std::uint16_t kRegisterBase = 0xFF00;
constexpr std::size_t kRegisterCount = 160;
constexpr std::uint16_t kZeroTableBase = 0xF400;
constexpr std::uint16_t kSystemTableBase = 0xF600;
constexpr std::size_t kTableSize = 64;
constexpr std::uint16_t kAwgBase = 0xA000;
constexpr std::size_t kAwgEntries = 2048;

using RegisterFile = std::array<std::uint8_t, kRegisterCount>;
using CalibrationTable = std::array<std::uint8_t, kTableSize>;

// Little-endian reads from the register file (offset = address - 0xFF00).
std::uint32_t regU8(const RegisterFile& r, std::size_t offset);
std::uint32_t regU16(const RegisterFile& r, std::size_t offset);
std::uint32_t regU32(const RegisterFile& r, std::size_t offset);
std::uint64_t regU48(const RegisterFile& r, std::size_t offset);
int regS16(const CalibrationTable& t, std::size_t offset);
std::uint32_t tableU16(const CalibrationTable& t, std::size_t offset);

struct Memory {
    RegisterFile registers{};
    CalibrationTable zeroTable{};
    CalibrationTable systemTable{};
    std::array<std::uint8_t, kAwgEntries * 2> awg{};

    // Stores bytes at consecutive addresses; bytes outside the known spaces are dropped.
    // Returns the number of bytes that landed.
    std::size_t write(std::uint16_t address, std::span<const std::uint8_t> data);
    std::int16_t awgEntry(std::size_t index) const;
};

// Register offsets the instrument acts on (offset = address - 0xFF00).
namespace reg {
constexpr std::size_t kFrameStatus = 0;
constexpr std::size_t kTriggerFlags = 1;
constexpr std::size_t kChannelFlags = 2;
constexpr std::size_t kConditionFlags = 3;
constexpr std::size_t kAcquisitionFlags = 4;
constexpr std::size_t kDecimation = 5;
constexpr std::size_t kPreTrigger = 9;
constexpr std::size_t kPostTrigger = 11;
constexpr std::size_t kA1LevelLow = 13;
constexpr std::size_t kA1LevelHigh = 14;
constexpr std::size_t kA2LevelLow = 15;
constexpr std::size_t kA2LevelHigh = 16;
constexpr std::size_t kConditionCount = 17; // pulse number or video line; the measured count in data packets
constexpr std::size_t kLevelMask = 19;
constexpr std::size_t kLevelPolarity = 20;
constexpr std::size_t kHiResExponent = 21;
constexpr std::size_t kConditionTime = 22;      // lower time limit; the measured time in data packets
constexpr std::size_t kConditionTimeUpper = 26; // upper time limit
constexpr std::size_t kChannelMask = 32;
constexpr std::size_t kRunFlags = 33;
constexpr std::size_t kMinFramePeriod = 34;
constexpr std::size_t kSequence = 35;
constexpr std::size_t kA1Fine = 36;
constexpr std::size_t kA2Fine = 37;
constexpr std::size_t kA1Gain = 38;
constexpr std::size_t kA2Gain = 39;
constexpr std::size_t kRollIndex = 40;
constexpr std::size_t kTriggerNeighbourhood = 44;
constexpr std::size_t kDeviceType = 46;
constexpr std::size_t kFreqMeter = 48;
constexpr std::size_t kA1FrontEnd = 64;
constexpr std::size_t kA2FrontEnd = 65;
constexpr std::size_t kMisc = 66;
constexpr std::size_t kGenAux = 67;
constexpr std::size_t kA1ZeroDac = 68;
constexpr std::size_t kA2ZeroDac = 70;
constexpr std::size_t kD123Threshold = 72;
constexpr std::size_t kD4Threshold = 74;
constexpr std::size_t kGenOffset = 76;
constexpr std::size_t kRefOsc = 78;
constexpr std::size_t kAdcCalibration = 80; // 13 bytes: gains, offsets, dither
constexpr std::size_t kGenDc = 99;
constexpr std::size_t kGenLoad = 101;
constexpr std::size_t kGenFunc = 112;
constexpr std::size_t kGenShape = 113;
constexpr std::size_t kGenFreq = 114;
constexpr std::size_t kGenStep = 120;
constexpr std::size_t kGenAmp = 126;
constexpr std::size_t kGenModFreq = 128;
constexpr std::size_t kGenPulsePeriod = 134;
constexpr std::size_t kGenPulseWidth = 138;
constexpr std::size_t kGenAwgDiv = 142;
constexpr std::size_t kGenAwgMark = 146;
} // namespace reg

} // namespace kx::sim
