// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"
#include "core/state/GeneratorState.h"
#include "core/state/TriggerState.h"
#include "device/RegisterImage.h"
#include "generator/GeneratorRegisters.h"

#include <array>
#include <cstdint>

namespace kx::app {

// Front-end settings of one analog channel as the registers see them.
struct ChannelInputs {
    std::int32_t voltsDivIndex = 1; // 0..11 = 2 V .. 0.5 mV per division (the button, not the probe)
    bool acCoupling = false;
    bool bwLimit = false;
    std::int32_t zeroPosition = 0x8000; // screen units
};

// Everything the register image needs beyond the trigger, generator and calibration models:
// the derived acquisition quantities and the few other settings that reach the instrument.
struct RegisterInputs {
    bool running = false;
    bool singleMode = false;
    bool etsDown = false;
    bool rollMode = false;
    bool maxPointsMode = false;
    bool triggerActive = false;
    bool fastDigital = false;
    bool analyzerOn = false;
    bool debugMode = false;
    bool compactFrontEnd = false;
    bool peakDetect = false;
    bool hiRes = false;

    std::uint32_t decimation = 1;
    std::uint32_t preTrigger = 0;
    std::uint32_t postTrigger = 0;
    std::uint8_t framePeriodMs = 25;
    std::uint8_t freqMeterCode = 1; // source code, plus 0x10 in period-and-counter mode

    // Channels in use (already including the analyzer, which uses every channel).
    bool a1InUse = true;
    bool a2InUse = false;
    bool d12InUse = false;
    bool d34InUse = false;

    ChannelInputs a1;
    ChannelInputs a2;
    bool a2FromGenerator = false; // Menu_CH_GEN

    // "Advanced_Set"
    std::uint8_t adMatch = 128;
    bool ditherEn = true;
    bool useAdc0 = true;
    bool analogBwFlt = true;
    bool digitalBwFlt = true;
    bool iqWinEn = true;

    std::int32_t freqClbr = 0; // "Freq_Clbr": reference-oscillator correction, 0.01 ppm
    bool flowCtrlOff = false;  // "FLOW_CTRL_OFF": the instrument may not use RTS/CTS
};

// Gain code and attenuator nibble of a volts/div button (index clamped to 0..11); the compact
// front end (A1 only) has its own table.
struct FrontEndCode {
    std::uint8_t gain;
    std::uint8_t nibble;
};
FrontEndCode frontEndCode(std::int32_t voltsDivIndex, bool compact);

// Microvolts per division of a volts/div button at probe x1.
std::int64_t rangeMicroVolts(std::int32_t voltsDivIndex);

// trunc(log2 decimation), at most 24.
std::uint8_t hiResExponent(std::uint32_t decimation);

// Zero position / 16 as the instrument takes it: 4095 from 65536 on.
std::uint16_t zeroPositionWord(std::int32_t zeroPosition);

// What the generator registers take from the acquisition side.
generator::GeneratorContext generatorContext(const RegisterInputs& in);

// Fills offsets 3..128 of `image` (everything but the sequence number and the once bits,
// which the frame builder adds). The time limits keep the values already in `image` when the
// additional conditions do not define them.
void fillRegisterImage(device::RegisterImage& image, const RegisterInputs& in,
                       const core::TriggerState& trigger, const core::GeneratorState& generator,
                       const core::CalibrationState& calibration);

} // namespace kx::app
