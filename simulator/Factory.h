// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Memory.h"

#include <cstdint>

namespace kx::sim {

// What this particular instrument is made of. The calibration tables it leaves the factory with
// describe its real analog parts, so a program that uses them gets exact zero lines and levels.
struct Factory {
    // Zero-DAC characteristic per channel and gain group (1 V, 2 V, 0.5 V): the ADC reading
    // (16-bit code) at DAC code X and at 2X.
    struct ZeroPair {
        double atX;
        double at2X;
    };
    ZeroPair zero[2][3] = {{{10400, 55200}, {10300, 55100}, {10550, 54900}},
                           {{10250, 55350}, {10150, 55250}, {10600, 54800}}};
    // Generator output (0.1 mV) at offset codes 0x2000, 0x8000 and 0xE000.
    int genAtLow = -26950;
    int genAtMid = 12;
    int genAtHigh = 27040;
    // ADC gain and offset codes that match the interleaved converters (ADC 0..3).
    std::uint8_t adcGain[4] = {128, 127, 129, 128};
    std::int8_t adcOffset[4] = {3, -2, 1, -4};
    // Reference oscillator deviation (ppm x 100) at tuning codes 0x4000, 0x6000, 0x8000, 0xA000, 0xC000.
    int oscillatorPpm[5] = {-1480, -990, 12, 1010, 1520};
    // How the zero readings move with the supply (16-bit codes per raw supply step of 0.1 mV), from
    // the supply the zero characteristic was taken at.
    double supplySensitivity[2] = {0.0, 0.0};
    double referenceSupplyRaw = 49648.0;
    // Dither compensation values that cancel this unit's dither: A1 amplitude, RC, phase, A2
    // amplitude, RC (the phase is common to both channels).
    std::uint8_t dither[5] = {140, 2, 176, 140, 2};

    CalibrationTable zeroTable() const;
    CalibrationTable systemTable() const;

    // This unit after its analog parts have aged (fixed by the seed): zero offsets, supply
    // sensitivity, converter gains and offsets, dither, generator offset and reference
    // oscillator moved by what an owner would notice. Its shipped tables no longer describe it.
    static Factory drifted(std::uint64_t seed);
};

// Gain group of a gain code as the zero calibration groups them: 0 = 1 V, 1 = 2 V, 2 = 0.5 V.
int gainGroup(unsigned gainCode);
// DAC code X of a gain group (the lower of its two calibration codes).
double gainGroupDac(int group);

// Stores the CRC-16/MODBUS of bytes 0..61 in bytes 62, 63 (low byte first).
void sealTable(CalibrationTable& table);

} // namespace kx::sim
