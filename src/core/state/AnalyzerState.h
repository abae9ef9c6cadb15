// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace kx::core {

// Choice tables of the analyser menus (section "NA_AA", one boolean key per item).
inline constexpr std::array<int, 6> kNaDbPerDiv{0, 1, 2, 5, 10, 15};   // "NA_Amp_Range0..5"; 0 = linear
inline constexpr std::array<int, 4> kAaZo{25, 50, 75, 100};            // "AA_R25" .. "AA_R100"
inline constexpr std::array<double, 5> kAaSwrSpan{0.08, 2, 8, 24, 80}; // "AA_SWR_Range0..4"
inline constexpr std::array<double, 11> kAaImpRange{0.08, 0.24, 0.8, 2.4, 8, 24, 80, 240, 800, 2400, 8000};
inline constexpr std::array<int, 3> kAaQRange{80, 240, 800};  // "AA_Q_Range0..2"
inline constexpr std::array<int, 5> kIqZoom{1, 2, 5, 10, 20}; // "NA_AA_Zoom1" .. "NA_AA_Zoom20"

// Antenna graph choices: graph 1 "Off", "SWR", "RL", "Q"; graphs 2 and 3 "Off", "Rs", "Xs",
// "Z", "Ph", "Rp", "Xp" (keys "AA_G1_" / "AA_G2_" / "AA_G3_" + name).
inline constexpr std::array<const char*, 4> kAaGraph1Keys{"Off", "SWR", "RL", "Q"};
inline constexpr std::array<const char*, 7> kAaGraph23Keys{"Off", "Rs", "Xs", "Z", "Ph", "Rp", "Xp"};

// Network analyser, antenna analyser and LC meter settings.
struct AnalyzerState {
    bool NA = false;             // "NA": Menu_NA checked
    std::int32_t NaAmpRange = 4; // "NA_Amp_Range0..5": default "10 dB/Div"
    bool NA_Ampl = true;         // "NA_Ampl"
    bool NA_Phase = false;       // "NA_Phase"
    bool NA_m20_dB = false;      // "NA_m20_dB"
    bool NA_Use_Clbr = false;    // "NA_Use_Clbr"

    bool AA = false;             // "AA": Menu_AA checked
    std::int32_t AaZo = 1;       // "AA_R25..100": index into kAaZo, default 50 Ohm
    std::int32_t AaSwrRange = 2; // "AA_SWR_Range0..4": default "1..9"
    std::int32_t AaImpRange = 6; // "AA_Imp_Range0..10": default "80 Ohm"
    std::int32_t AaQRange = 0;   // "AA_Q_Range0..2": default "0..80"
    std::int32_t AaGraph1 = 1;   // default "SWR"
    std::int32_t AaGraph2 = 1;   // default "Rs"
    std::int32_t AaGraph3 = 2;   // default "Xs"
    bool AA_Use_Clbr = false;    // "AA_Use_Clbr"
    bool AA_Smith = false;       // "AA_Smith": the reflection on a Smith chart instead of the graphs

    std::int32_t IqZoom = 0; // "NA_AA_Zoom1..20": index into kIqZoom

    bool analyzerOn() const { return NA || AA; }
};

} // namespace kx::core
