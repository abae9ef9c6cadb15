// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"
#include "core/state/GeneratorState.h"

#include <cstdint>

namespace kx::generator {

// What the generator registers need from outside the generator model.
struct GeneratorContext {
    bool debugMode = false;
    bool analyzerOn = false;
    bool compactFrontEnd = false;
    std::uint32_t postTrigger = 0; // samples after the trigger: a sweep covers the span once per record
    bool doubledSampling = false;  // Decimation > 1 with peak detect, Hi Res or an analyzer
    std::int64_t a2RangeMicroVolts = 500000; // A2 volts/div button in uV, probe not included
    bool a2BandwidthLimit = false;           // A2 "BW" button down
    bool analogBwFilter = true;              // advanced setting "Analog_BW_Flt"
};

// The implied values that every apply enforces on the model: amplitude within 0..4000,
// no modulation, pulse or AWG under an analyzer, sweep stop not below its start and no noise
// sweep, sine where the range or an analyzer allows no other shape.
void applyImpliedValues(core::GeneratorState& gen, const GeneratorContext& ctx);

// Applied amplitude and lowest level of the waveform, in mV, after level limiting.
struct GenLevels {
    std::int32_t amplitude = 0;
    double lowest = 0.0;
};
GenLevels levelLimit(const core::GeneratorState& gen);

// Offset DAC code of a level in mV from the generator's calibration points (system table
// bytes 0..5, 0.1 mV units); equal points give 0x8000.
std::uint16_t offsetCode(double levelMilliVolts, const core::CalTable& systemTable);

// Every generator register of the settings frame. Misc_Reg carries only the generator's
// bits here (1, 2, 3, 4 and 7); the once bits of the shape register are not included.
struct GeneratorRegisters {
    std::uint64_t freqWord = 0;        // Gen_Freq_Word, 48 bits
    std::uint64_t stepWord = 0;        // Gen_Step_Word, 48 bits (sweep step or modulation depth)
    std::uint64_t modFreqWord = 0;     // Gen_ModFreq_Word, 48 bits
    std::uint16_t ampCode = 0;         // Gen_Amp_Code
    std::uint16_t dcCode = 0;          // Gen_DC_Code, two's complement
    std::uint16_t offsetCode = 0x8000; // Gen_Offset_Code
    std::uint8_t funcReg = 0;          // Gen_Func_Reg
    std::uint8_t shapeReg = 0;         // Gen_Shape_Reg
    std::uint8_t miscBits = 0;         // generator bits of Misc_Reg
    std::uint8_t timeMatch = 195;      // Gen_Time_Match
    std::uint8_t auxReg = 0;           // Gen_Aux_Reg
    std::uint16_t loadCode = 0;        // Gen_Load_Code
    std::uint32_t pulsePeriod = 0;     // Gen_Pulse_Period
    std::uint32_t pulseWidth = 0;      // Gen_Pulse_Width
    std::uint32_t awgDiv = 0;          // Gen_AWG_Div
    std::uint16_t awgMark = 2048;      // Gen_AWG_Mark
    std::int32_t appliedAmplitude = 0; // for the amplitude scroll bar: 4000 - this
};

inline constexpr std::uint8_t kMiscSinxCorr = 0x02;
inline constexpr std::uint8_t kMiscGenCorr = 0x04;
inline constexpr std::uint8_t kMiscLoadBit16 = 0x08;
inline constexpr std::uint8_t kMiscLoadCoarse = 0x10;
inline constexpr std::uint8_t kMiscGenTest = 0x80;

// The register values for the model as it stands (apply applyImpliedValues first).
GeneratorRegisters computeGeneratorRegisters(const core::GeneratorState& gen, const GeneratorContext& ctx,
                                             const core::CalTable& systemTable);

} // namespace kx::generator
