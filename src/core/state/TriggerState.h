// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Condition kinds of the additional (T+) trigger conditions ("Mode").
inline constexpr std::int32_t kTrigModeNone = 0;
inline constexpr std::int32_t kTrigModePulseWidth = 1;
inline constexpr std::int32_t kTrigModePeriod = 2;
inline constexpr std::int32_t kTrigModeRunt = 3;
inline constexpr std::int32_t kTrigModeSlew = 4;
inline constexpr std::int32_t kTrigModePulseNTime = 5;
inline constexpr std::int32_t kTrigModePulseNLevels = 6;
inline constexpr std::int32_t kTrigModeVideo = 10;

// Time condition ("T_Mode").
inline constexpr std::int32_t kTimeModeAny = 0;
inline constexpr std::int32_t kTimeModeInside = 1;
inline constexpr std::int32_t kTimeModeOutside = 2;

// Bits of "Lev_Mask" and "Levels", one per channel.
inline constexpr std::uint8_t kLevBitA1 = 0x01;
inline constexpr std::uint8_t kLevBitA2 = 0x02;
inline constexpr std::uint8_t kLevBitD1 = 0x04;
inline constexpr std::uint8_t kLevBitD2 = 0x08;
inline constexpr std::uint8_t kLevBitD3 = 0x10;
inline constexpr std::uint8_t kLevBitD4 = 0x20;

// Trigger unit and its additional conditions. INI section "Trigger"; the key of each
// field is given beside it.
struct TriggerState {
    bool On = false;      // "On": SpeedButton_Trig_On down
    std::int32_t Src = 0; // "Src": 0..5 = A1, A2, D1, D2, D3, D4 (ComboBox_Trig_Src)
    bool Edge = false;    // "Edge": SpeedButton_TrigEdge down = falling edge
    bool Auto = false;    // "Auto": SpeedButton_Auto down
    bool TPLUS = false;   // "TPLUS": SpeedButton_TPLUS down, additional conditions on

    // "Lev_A1", "Lev_A2" (+ "_fine"): trigger levels in vertical screen units (0..65535).
    double Lev_A1 = 0xC000;
    double Lev_A2 = 0x4000;

    std::int32_t Pre = 5;                    // "Pre": pre-trigger, 0..9 divisions
    std::int32_t Hyst = 2;                   // "Hyst": noise reject index 0..9
    std::int32_t Mode = kTrigModePulseWidth; // "Mode": condition kind (kTrigMode*)
    std::int32_t T_Mode = kTimeModeAny;      // "T_Mode": 0 any, 1 inside, 2 outside
    std::int32_t Tmin = 1000;                // "Tmin": 0..1999
    std::int32_t Tmax = 1200;                // "Tmax": 1..2000, always above Tmin
    std::int32_t Tmult = 2;                  // "Tmult": range 0..5 = 10 us .. 1 s full scale
    std::int32_t Lev_Mask = 0;               // "Lev_Mask": channels taking part in the level condition
    std::int32_t Levels = 0;                 // "Levels": required level per channel in the mask
    std::int32_t Extra_N = 1;                // "Extra_N": pulse number 1..1000, video line 1..625

    // Logic input thresholds in units of 10 mV (0..1300).
    std::int32_t D123_Lev = 165; // "D123_Lev": D1..D3
    std::int32_t D4_Lev = 165;   // "D4_Lev"
    bool Same_Lev = false;       // "Same_Lev": D4 follows D1..D3
};

} // namespace kx::core
