// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::calibration {

// The system calibration's test modes, one button each; 0 is none.
enum SystemMode : int {
    kModeNone = 0,
    kModeSet = 1,         // "SET": offset code 0x8000 plus a 3 V constant
    kModeTest0V = 2,      // "Test 0V"
    kModeGain3V = 3,      // "3V Gain"
    kModeTestMinus3V = 4, // "Test -3V"
    kModeTestPlus3V = 5,  // "Test 3V"
    kModeVerify1k = 6,    // "1 KHz": the converters' verification
    kModeHfFftA1 = 7,     // "HF FFT" of A1
    kModeAutoAdc = 8,     // "Auto" of the converters
    kModeHfFftA2 = 9,     // "HF FFT" of A2
    kModeDitherA1 = 10,   // "FFT" of the A1 dither
    kModeDitherA2 = 11,   // "FFT" of the A2 dither
    kModeAutoFreq = 12,   // "Auto" of the reference-oscillator table
    kModeDigital10k = 13, // "10 KHz" .. "50 MHz": the logic inputs' thresholds
    kModeDigital50M = 17,
};

// Which generator offset a setup uses.
enum class OffsetChoice : std::uint8_t {
    Zero,    // the calibrated code of 0 V
    Raw,     // a raw code (the generator edits and "SET")
    Minus3V, // the calibrated code of -3 V
    Plus3V,  // the calibrated code of +3 V
};

// What a test mode changes in the base setup (5 ms/div, decimation 501, 10 000 points, a 3 V
// sine of 25 cycles per record at 0 V).
struct SystemTestSetup {
    std::uint32_t decimation = 501;
    std::int64_t timeDivNs = 5'000'000;
    int cycles = 25;            // generator cycles per record (0: frequency 0)
    bool constantShape = false; // shape 5: a constant level of the amplitude
    int ampCode = -1;           // Gen_Amp_Code; -1: the base setup's (from the expected amplitude)
    OffsetChoice offset = OffsetChoice::Zero;
    std::uint16_t rawOffsetCode = 0x8000;
    int fftChannel = -1; // 0 A1, 1 A2: the spectrum is shown and restarted
};

// The setup of `mode`. `rawOffset` (a generator edit with the focus) replaces the offset of
// mode 0 by a raw code with amplitude 0.
SystemTestSetup systemTestSetup(int mode, int rawOffset = -1);

// Raw offset code that entering each generator edit selects: 0 V, -2.7 V, +2.7 V points.
inline constexpr std::uint16_t kGenPointCode[3] = {0x8000, 0x2000, 0xE000};

// Cycles per record of the generator in `mode` for the measurement (25 when it measures nothing
// else).
int measurementCycles(int mode);

} // namespace kx::calibration
