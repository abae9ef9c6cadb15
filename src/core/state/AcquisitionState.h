// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ScopeTables.h"

#include <cstdint>

namespace kx::core {

// One analog channel (keys shown for A1; A2's begin with "A2_"). Section "Scope" unless noted.
struct AnalogChannelState {
    bool shown = true;                   // "CH_A1" (section "Common"), Menu_CH_A1
    std::int32_t voltsDiv = kVoltsDiv1V; // radio group "A1_2V" .. "A1_05V": index into kVoltsDiv
    std::int32_t probe = 0; // radio group "A1_x1" .. "A1_x100" (section "Common"): index into kProbeFactors
    bool AC = false;        // "A1_AC": SpeedButton_AC_A1 down
    bool BW = false;        // "A1_BW": SpeedButton_BW_A1 down
    std::int32_t Zero = 0xC000; // "A1_Zero": zero line in screen units, 0 = bottom
};

enum class FreqMeterMode : std::uint8_t { Off, Frequency, Period }; // "FM_Off", "FM_Freq", "FM_Period"

// Frequency-meter source items "FM_A1" .. "FM_D4", "FM_TRIG".
enum class FreqMeterSource : std::uint8_t { A1, A2, D1, D2, D3, D4, Trig };

// Run control, time base, sampling, the analog and the logic inputs.
struct AcquisitionState {
    bool Running = false;      // SpeedButton_Run or SpeedButton_Sngl down; not stored
    bool SingleMode = false;   // SpeedButton_Sngl down; not stored
    bool Strobo = false;       // SpeedButton_Strobo down (equivalent-time sampling)
    bool StroboByHand = false; // set by a click on SpeedButton_Strobo, cleared when it is hidden

    std::int32_t timeBase = kTimeBase1ms; // radio group, section "Scope": index into kTimeBases
    bool Lenta = false;                   // "Lenta" (Common): scrolling display at slow time bases
    std::int32_t X_Pos = 0;               // "X_Pos" (Common): ScrollBar_X_POS position

    AnalogChannelState A1{};
    AnalogChannelState A2{false, kVoltsDiv1V, 0, false, false, 0x4000};
    bool CH_GEN = false; // "CH_GEN" (Common), Menu_CH_GEN: A2 shows the generator output

    bool CH_D1 = true; // "CH_D1" .. "CH_D4" (Common)
    bool CH_D2 = true;
    bool CH_D3 = true;
    bool CH_D4 = true;

    bool SmplPeakDet = false; // "SmplPeakDet" (Common)
    bool Smpl_Hi_Res = false; // "Smpl_Hi_Res" (Common)
    std::int32_t points = 1;  // radio group "Smpl_N_2000" .. "Smpl_N_40000": index into kPointChoices
    std::int32_t wps = 3;     // radio group "WPS_8" .. "WPS_NO_LIM" (program file only): index into kWpsKeys

    FreqMeterMode fmMode = FreqMeterMode::Frequency;
    FreqMeterSource fmSource = FreqMeterSource::A1;
    bool fmCounterReset = false; // Menu_FM_RST: sent once with the next settings frame; not stored
};

} // namespace kx::core
