// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx::core {

enum class DrawModeChoice : std::uint8_t { Dots = 0, Vectors = 1, Sinx = 2 }; // "Dots", "Vectors", "Sinxx"
enum class CursorMode : std::uint8_t { None, Single, Double };                // "Markers_1", "Markers_2"

// Colour roles as Windows colour values 0x00BBGGRR (section "Colors", program file only).
struct ColorRoles {
    std::uint32_t ColorA1 = 0x00FF00;         // "CH_A1"
    std::uint32_t ColorA2 = 0x00FFFF;         // "CH_A2"
    std::uint32_t ColorD1 = 0xFFFF00;         // "CH_D1"
    std::uint32_t ColorD2 = 0x8CDAFF;         // "CH_D2"
    std::uint32_t ColorD3 = 0x0080FF;         // "CH_D3"
    std::uint32_t ColorD4 = 0xFF8000;         // "CH_D4"
    std::uint32_t ColorBackground = 0x2D0000; // "Background"
    std::uint32_t ColorBorder = 0x000000;     // "Border"
    std::uint32_t ColorMarkers = 0x808080;    // "Markers"
    std::uint32_t ColorGrid = 0x800000;       // "Grid"
    std::uint32_t ColorGridFrame = 0xC08000;  // "Grid_Frame"
    std::uint32_t ColorTrigPos = 0x808000;    // "Trig_Pos"
    std::uint32_t ColorFft = 0xFF00FF;        // "FFT"
    std::uint32_t ColorExtraInfo = 0xC08000;  // "Extra_Info"

    // Analyser slots: copies that follow one role each.
    std::uint32_t ColorAaGraph1 = ColorA1;
    std::uint32_t ColorRs = ColorA2;
    std::uint32_t ColorNaAmpl = ColorD1;
    std::uint32_t ColorRp = ColorD1;
    std::uint32_t ColorPhase = ColorD2;
    std::uint32_t ColorXs = ColorD3;
    std::uint32_t ColorZ = ColorD4;
    std::uint32_t ColorXp = ColorFft;

    void syncAnalyzerSlots() {
        ColorAaGraph1 = ColorA1;
        ColorRs = ColorA2;
        ColorNaAmpl = ColorRp = ColorD1;
        ColorPhase = ColorD2;
        ColorXs = ColorD3;
        ColorZ = ColorD4;
        ColorXp = ColorFft;
    }
};

// View items, cursors and the background oscillogram's settings (section "Common" unless noted).
struct DisplayState {
    bool Measure = true;      // "Measure"
    bool Grid = true;         // "Grid"
    bool TrigPosL = true;     // "TrigPosL": "Trig. Position"
    bool Smpl_Info = false;   // "Smpl_Info": "Sampling Info"
    bool Extra_Info = false;  // "Extra_Info"
    bool Trig_T = false;      // "Trig_T": "Trig. Event Time"
    bool Distortion = false;  // "Distortion": the distortion readout row under a spectrum
    bool Generator = true;    // "Generator": Menu_Gen_View
    bool CompactView = false; // "Compact View"; not stored
    bool Persistence = false; // "Persistence" (program file)
    bool On_Top = false;      // "On_Top" (program file): "Always On Top"
    bool USB_Stat = false;    // "USB_Stat" (program file): "USB Debug Data"
    bool ETS_Stat = false;    // "ETS_Stat" (program file): "ETS Debug Data"
    bool BgShow = false;      // "B.G. Oscillogram"; not stored
    DrawModeChoice drawMode = DrawModeChoice::Sinx;

    CursorMode cursors = CursorMode::Single;
    std::int32_t CursorX = 250;    // "Marker_x": 0..5000 across the plot
    std::int32_t CursorY = 61440;  // "Marker_y": 0..65536 from the top
    std::int32_t CursorX1 = 250;   // "Marker1_x"
    std::int32_t CursorY1 = 61440; // "Marker1_y"
    std::int32_t CursorX2 = 4750;  // "Marker2_x"
    std::int32_t CursorY2 = 4096;  // "Marker2_y"

    // Background oscillogram (section "Scope" and "Trigger").
    std::int32_t BgScreenZeroA1 = 0xC000; // "bgA1_Zero"
    std::int32_t BgScreenZeroA2 = 0x4000; // "bgA2_Zero"
    double BgTrigLevelA1 = 49152.0;       // "bgLev_A1" (+ "_fine")
    double BgTrigLevelA2 = 16384.0;       // "bgLev_A2" (+ "_fine")
    bool BgLaneSwap = false;              // "bgD_Zero"
    std::string BgFileName;

    ColorRoles colors;
};

} // namespace kx::core
