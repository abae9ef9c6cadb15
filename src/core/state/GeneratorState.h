// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx::core {

// Function buttons of the generator panel ("Swp.", "Pulse", "Mod.", "AWG"; none down = plain).
// Stored as the booleans "F_Sweep", "Pulse", "Mod", "AWG".
enum class GenFunction : std::uint8_t { Plain, Sweep, Pulse, Modulation, Awg };

// Shape buttons; stored as the booleans "Sin", "Rect", "Trian", "Up_Trian", "Dn_Trian".
enum class GenShape : std::uint8_t { Sine, Rectangle, Triangle, RisingRamp, FallingRamp };

// "Mod_Type"
inline constexpr std::int32_t kModAm = 0;
inline constexpr std::int32_t kModFm = 1;
inline constexpr std::int32_t kModPm = 2;
inline constexpr std::int32_t kModSum = 3;

// "Mod_Src": 0 internal, 1 A1, 2 A2, 3..6 D1..D4, 7 pulse generator, 8 AWG.
inline constexpr std::int32_t kModSrcInternal = 0;
inline constexpr std::int32_t kModSrcA1 = 1;
inline constexpr std::int32_t kModSrcA2 = 2;

// "FMult" 5 is the noise range.
inline constexpr std::int32_t kFMultNoise = 5;

// "Gen_Extra_Sel": auxiliary output.
inline constexpr std::int32_t kAuxPulseGen = 3;

// "MF_Shape" of the noise button.
inline constexpr std::int32_t kMfShapeNoise = 7;

// Without a mark the AWG program leaves D1 alone.
inline constexpr std::int32_t kAwgNoMark = 2048;

// The signal generator: panel and TForm_GeneratorSet. INI section "Generator"; the key of
// each field is given beside it. The two one-shot requests ("Sync Ph." and the AWG RUN)
// are not settings: they are raised on the register image holder, which sends them once.
struct GeneratorState {
    bool On = false;                           // SpeedButton_GenOn; not stored
    GenFunction Function = GenFunction::Plain; // "F_Sweep", "Pulse", "Mod", "AWG"
    GenShape Shape = GenShape::Sine;           // "Sin", "Rect", "Trian", "Up_Trian", "Dn_Trian"

    std::int32_t Ampl = 2000;    // "Ampl": 0..4000 mV peak-to-peak (AWG: 4000 = 100 %)
    std::int32_t FFast = 100;    // "FFast": 0..10000
    std::int32_t FSlow = 0;      // "FSlow": 0..10000; F = (FFast*1000 + FSlow) * 10^FMult mHz
    std::int32_t FMult = 1;      // "FMult": 0..4 = 10 K .. 100 M, 5 noise
    std::int32_t FStart = 1000;  // "FStart": sweep start, 10^FMult Hz units
    std::int32_t FSweep = 10000; // "FSweep": sweep stop
    std::int32_t TPulse = 1000;  // "TPulse": pulse width, 5 ns * 10^TMult units
    std::int32_t TPer = 2000;    // "TPer": pulse period
    std::int32_t TMult = 2;      // "TMult": 0..5 = 50 uS .. 5 S full scale

    // AWG step period N = coarse * 10000 + fine (0 taken as 1); set by the script, not stored.
    std::int32_t AwgCoarse = 0;
    std::int32_t AwgFine = 1;

    std::int32_t DC_Shift = 0;    // "DC_Shift": -3000..3300 mV
    std::int32_t GEN_DC_Mode = 0; // "GEN_DC_Mode": 0 lowest, 1 mean, 2 highest, 3 middle level

    std::int32_t Mod_Type = kModAm;         // "Mod_Type": 0 AM, 1 FM, 2 PM, 3 SUM
    std::int32_t Mod_Src = kModSrcInternal; // "Mod_Src": 0..8
    std::int32_t Inv = 0;                   // "Inv": inverted modulating signal
    std::int32_t MF_Fast = 100;             // "MF_Fast": 0..10000
    std::int32_t MF_Slow = 0;               // "MF_Slow": 0..10000
    std::int32_t MF_Mult = 0;               // "MF_Mult": 0..4
    std::int32_t MF_Shape = 0;    // "MF_Shape": 0 sine, 1 rising, 2 falling, 3 rect, 4 triangle, 7 noise
    std::int32_t Mod_Param = 700; // "Mod_Param": 0..1000
    std::int32_t DF_Mult = 0;     // "DF_Mult": FM deviation range 0..1

    std::int32_t Gen_Extra_Sel = 0;  // "Gen_Extra_Sel": aux output 0..6
    bool Gen_Extra_Inv = false;      // "Gen_Extra_Inv"
    std::int32_t Gen_Match = 195;    // "Gen_Match": 16..240
    std::int32_t Gen_Load = 1000;    // "Gen_Load": 0..1000, 1000 = no load
    std::int32_t Gen_Sinxx_Corr = 1; // "Gen_Sinxx_Corr": 0 off, 1 plain sine only, 2 always
    bool Gen_Corr = true;            // "Gen_Corr": DAC correction
    bool Gen_200MHz = false;         // "Gen_200MHz": up to 200 MHz (debug mode)
    bool Gen_Test = false;           // "Gen_Test": DAC test

    std::int32_t AwgMark = kAwgNoMark; // address marked on D1 by the AWG program; not stored
    std::string AWG_File;              // "AWG_File": path of the loaded AWG script

    // The sweep button together with ON, which is what a running sweep needs.
    [[nodiscard]] bool sweepRunning() const { return On && Function == GenFunction::Sweep; }
};

} // namespace kx::core
