// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Spectrum analyser settings, section "FFT".
struct FftState {
    bool View_A1 = false;   // "View_A1" (user files only): Menu_FFT_A1
    bool View_A2 = false;   // "View_A2" (user files only): Menu_FFT_A2; exclusive with A1
    std::int32_t Size = 6;  // "Size": 0..5 = 1024 .. 32768 points, 6 = "Auto"
    std::int32_t Win = 2;   // "Win": 0..8, default "Flat top"
    std::int32_t Scale = 0; // "Scale": 0 dBV, 1..3 dBm at 50, 75, 600 Ohm
    bool dB15_div = false;  // "15dB_div": 15 instead of 10 dB per division
    bool dbv_v = false;     // "dbv_v": levels in volts instead of dBV
    bool Ave_On = false;    // "Ave_On"
    std::int32_t Ave = 3;   // "Ave": 0..6 = 2 .. 64 frames, 6 = "Inf"
    std::int32_t Zoom = 0;  // "Zoom": 0..8 = 1 .. 500
    bool View_Sig = true;   // "View_Sig": time traces stay visible
    bool Calc_Both = false; // "Calc_Both": the other analog channel too
};

} // namespace kx::core
