// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::acquisition {

// The few current settings that assembly needs besides the information block. The read step
// fills it from the instrument state (and the latest status packet) before each assembly.
struct AssemblyContext {
    std::int32_t probeA1 = 1;        // A1 probe factor: 1, 10, 20 or 100 (multiplies ScaleA1)
    std::int32_t probeA2 = 1;        // A2 probe factor (multiplies ScaleA2)
    std::int32_t zeroA1 = 0x8000;    // A1 zero position, vertical screen units (ZeroA1)
    std::int32_t zeroA2 = 0x8000;    // A2 zero position (ZeroA2)
    double levA1 = 0xC000;           // "Lev_A1": A1 trigger level, screen units (TriggerLevelCode)
    double levA2 = 0x4000;           // "Lev_A2": A2 trigger level
    bool scrollActive = false;       // ScrollActive: wrapped roll frames are rotated oldest first
    std::int32_t preTrigger = 0;     // PreTrigger of the current settings: where the sub-sample
                                     // search for the trigger crossing starts
    bool compactFrontEnd = false;    // ReportedDeviceType bit 2 (the menu's model until one is reported):
                                     // every gain code reads 100 000 uV/div
    bool iqWinEn = false;            // "IQ_Win_En" (NarrowFilter)
    std::uint32_t genAmpCode = 0;    // Gen_Amp_Code (GenAmplitudeWord)
    std::uint64_t sweepSpan = 0;     // generator sweep span (SweepSpan)
    std::uint64_t sweepStart = 0;    // generator sweep start (SweepStart)
    bool menuAA = false;             // Menu_AA checked: an analyser frame is an antenna-analyser frame
    bool recordingOn = false;        // the binary recorder is recording: collect A1 roll samples
    std::int64_t arrivalNs = 0;      // steady-clock time the data packet arrived (set per frame)
    std::uint32_t counterStatus = 0; // frequency counter of the latest status packet (words 37..39)
    std::uint32_t counterEvents = 0;
    std::uint32_t counterTicks = 0;
    // Equivalent-time reconstruction (see setEtsContext).
    bool fftViewA1 = false;             // Menu_FFT_A1 checked: A1 is analysed, with its averaging
    bool fftViewA2 = false;             // Menu_FFT_A2 checked
    std::int32_t fftAveragingDepth = 1; // frames averaged by the FFT view (128 = unlimited)
    std::int64_t timeDivNs = 0;         // TimeDivNs: the period is resampled at 50 samples per division
    std::int32_t preDivisions = 0;      // "Pre": divisions before the trigger point
};

} // namespace kx::acquisition
