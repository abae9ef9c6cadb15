// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx::core {

// Model, language and program-wide options.
struct SystemState {
    std::int32_t UiDeviceType = 0x21; // "WIN_DT" (System): 0x35 for an executable named "TRM..."
    bool DebugMode = false;           // "M_DEBUG" (Common, program file): Menu_Debug
    bool DebugAllowed = false;        // "Debug" (System): read only, shows Menu_Debug at all
    bool LowVoltsDiv = false;         // "LOW_V_DIV" (Common): Menu_Low_V_Div
    bool FlowCtrlOff = false;         // "FLOW_CTRL_OFF" (System): read only
    bool RussianUi = true;            // "Russian" / "English" (Common, program file)
    bool ModelCheckPending = false;   // raised by RUN/SINGLE; not stored

    // "SysClbr" (program file): frequency correction in hundredths of ppm, reference frequency.
    std::int32_t Freq_Clbr = 0;
    double Ref_Freg = 5'000'000.0;

    // "Advanced_Set"
    std::int32_t AD_Match = 128;    // "AD_Match" (program file): 0..255
    bool Dither_En = true;          // "Dither_En" (program file)
    bool Use_ADC_0 = true;          // "Use_ADC_0" (program file)
    bool Analog_BW_Flt = true;      // "Analog_BW_Flt"
    bool Digital_BW_Flt = true;     // "Digital_BW_Flt"
    bool IQ_Win_En = true;          // "IQ_Win_En"
    std::int32_t Vel_Factor = 1000; // "Vel_Factor": velocity factor in 0.1 %
    bool Refl_Cursors = false;      // "Refl_Cursors": cable-length readout

    std::string LastDir;      // last folder of a file dialog; not stored
    std::string NA_Clbr_File; // "NA_Clbr_File" (NA_AA, program file)
    std::string AA_Clbr_File; // "AA_Clbr_File" (NA_AA, program file)
};

} // namespace kx::core
