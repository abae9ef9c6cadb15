// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/CorrectionTables.h"

#include <complex>
#include <cstdint>
#include <span>

namespace kx::analyzers {

// Ranges of the settings menus, by setting index.
double antennaZo(int zoSetting);              // 25, 50, 75, 100 Ohm
double antennaSwrSpan(int swrSetting);        // 0.08, 2, 8, 24, 80
double antennaImpedanceRange(int impSetting); // 0.08 .. 8000 Ohm
double antennaQRange(int qSetting);           // 80, 240, 800

// Quantities of one point against the reference impedance zo.
struct AntennaQuantities {
    std::complex<double> z; // impedance (the bridge's reference is 50 Ohm)
    double rs = 0, xs = 0;  // series resistance and reactance
    double g = 0;           // |reflection| against zo, limited to 0.0001..0.9999
    double swr = 0;
    double returnLossDb = 0;
    double rp = 0, xp = 0; // parallel equivalents, 1e30 where undefined
    double q = 0;          // 1e30 when rs = 0
    double phase = 0;      // arg Z in radians
};

AntennaQuantities antennaQuantities(std::complex<double> reflection, double zo);

enum class AntennaQuantity { Swr, ReturnLoss, Q, Rs, Xs, Z, Phase, Rp, Xp };

struct AntennaRanges {
    double swrSpan = 8;
    double impedance = 80;
    double q = 80;
};

// Vertical screen code 0..65536 of a quantity; INT_MAX when the value is not a number.
std::int32_t antennaScreenCode(AntennaQuantity what, const AntennaQuantities& v, const AntennaRanges& r);

// Open/short/load terms at one frequency.
struct OslTerms {
    std::complex<double> e1, e2, e3;
};
OslTerms oslTerms(std::complex<double> open, std::complex<double> shortLoad, std::complex<double> load);

// Term table from the three measured standards (the shortest of them sets the count, at most 10000).
AntennaTermTable buildAntennaTerms(std::span<const std::complex<double>> open,
                                   std::span<const std::complex<double>> shortLoad,
                                   std::span<const std::complex<double>> load, std::int32_t startHz,
                                   std::int32_t spanHz);

} // namespace kx::analyzers
