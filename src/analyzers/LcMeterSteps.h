// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace kx::analyzers {

constexpr int kLcStandardSteps = 13;
constexpr int kLcSelfCSteps = 9;
constexpr int kLcMaxSteps = 13;

struct LcStep {
    double frequencyHz = 0;
    double testVolts = 0;          // peak to peak
    std::int32_t fixedRangeUv = 0; // A1 range of the "Self C" table; 0 = auto-ranged
};

struct LcTable {
    std::array<LcStep, kLcMaxSteps> steps{};
    int count = 0;
    bool selfC = false;
};

LcTable lcStandardTable(bool compactFrontEnd);
LcTable lcSelfCTable();

// Gain code and front-end low nibble of an A1 range (normal column of the gain table).
struct LcRangeCodes {
    int gainCode = 2;
    int lowNibble = 0;
};
LcRangeCodes lcRangeCodes(std::int32_t rangeUv);

// Generator and acquisition registers of one step.
struct LcStepSetup {
    std::uint64_t genFreqWord = 0; // the frequency 5 ppm high
    std::uint32_t genAmplitudeCode = 0;
    double genOffsetVolts = 0; // -V/2, for the generator's calibrated offset code
    std::uint32_t timeDivNs = 0;
    std::uint32_t decimation = 0;
    std::int32_t fixedRangeUv = 0; // 0: keep the auto-ranged A1 range
    LcRangeCodes range;            // of the fixed range
    int frontEndByte = 0;          // of the fixed range
};
LcStepSetup lcStepSetup(const LcStep& step);

// What auto-ranging makes of a frame.
enum class LcRangeAction { Keep, Ignore, Change };
struct LcRangeDecision {
    LcRangeAction action = LcRangeAction::Keep;
    std::int32_t rangeUv = 0;
    LcRangeCodes codes;
    int frontEndByte = 0;
};
// peakToPeak: the frame's A1 span in codes, -1 when overloaded; autoRanging: standard table on
// the normal front end.
LcRangeDecision lcAutoRange(std::int32_t peakToPeak, std::int32_t rangeUv, bool autoRanging);

// Registers the dialog writes when it opens (before step 0 is set up); the zero DAC code comes
// from the zero-DAC model for the mid-scale position with this gain code and nibble.
struct LcInitialRegisters {
    std::uint32_t points = 10000; // all after the trigger
    std::uint32_t timeDivNs = 10000000;
    std::uint32_t decimation = 2000;
    std::uint8_t channelMask = 1; // A1 only
    std::uint8_t runFlags = 3;    // Running and MaxPointsMode
    std::uint8_t miscReg = 67;
    std::uint32_t genTimeMatch = 195;
    std::uint16_t zeroPosition = 0x8000;
    std::uint16_t zeroPosition16 = 2048;
    std::int32_t rangeUv = 200000;
    int gainCode = 10;
    int frontEndByte = 0;
};
LcInitialRegisters lcInitialRegisters(bool compactFrontEnd);

} // namespace kx::analyzers
