// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace kx::analyzers {

// Vertical scale of the spectrum view.
enum class SpectrumScale { DbV = 0, Dbm50 = 1, Dbm75 = 2, Dbm600 = 3 };

SpectrumScale spectrumScaleFromIndex(int index);

// 10 log10(1000 / R): 0 for dBV.
double spectrumUnitOffset(SpectrumScale scale);

// RMS level of a sine filling the eight divisions, in the scale's unit.
double spectrumFullScale(double scaleUv, SpectrumScale scale);

// Level of the top line: the first multiple of 5 dB from -120 above the full scale, at most 120.
int spectrumReferenceLevel(double scaleUv, SpectrumScale scale);

// Screen codes of the averaged spectrum (accumulator / count) for the current volts per division.
// codes gets one entry per accumulator bin (INT_MAX where nothing is drawn); returns the
// reference level in dB.
int spectrumDisplayCodes(std::span<const double> accumulator, int count, double scaleUv, SpectrumScale scale,
                         bool db15PerDiv, std::span<std::int32_t> codes);

} // namespace kx::analyzers
