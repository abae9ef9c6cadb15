// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/Spectrum.h"
#include "analyzers/SpectrumDisplay.h"

#include <cstdint>
#include <string>

namespace kx::analyzers {

// Message for FFT states 2, 3 and 4 of channel A1 (a2 false) or A2; empty for other states.
std::string spectrumMessage(int fftState, bool a2, bool russian);

// " dBV", " dBm (50 ohm)", ... after the reference level.
const char* spectrumUnitText(SpectrumScale scale);
// " dBV" or " dBm".
const char* spectrumShortUnit(SpectrumScale scale);

// Frequency span of the view: half the sample rate, or 1 GHz during equivalent-time sampling.
double spectrumSpanHz(std::uint64_t samplePeriodPs, bool equivalentTime);

// Status row pieces: "N 4096", "10 dBV", "span 500.0 KHz:10", "10 dBV/Div".
std::string spectrumPointsText(int points);
std::string spectrumReferenceText(int referenceDb, SpectrumScale scale);
std::string spectrumSpanText(double spanHz, int zoomFactor);
std::string spectrumDivisionText(bool db15PerDiv, SpectrumScale scale);

// Channel row: "Vp = -3.010 dBV" (or volts, or "Vp = ..."), "Fp = 1.000000 KHz" (or "Fp = ...").
std::string spectrumPeakLevelText(const SpectrumPeak& peak, bool samplePeriodKnown, SpectrumScale scale,
                                  bool dbvToVolt);
std::string spectrumPeakFrequencyText(const SpectrumPeak& peak, bool samplePeriodKnown);
// "dPh = 12.34 Deg" or "dPh = ...".
std::string spectrumPhaseText(bool valid, double degrees);
// "Av16 = 5", or "Av Inf = 5" for exponent 6.
std::string spectrumAveragingText(int exponent, int count);

// Cursor level of a screen code y: "V = -23.50 dBV" (or volts with dbvToVolt on the dBV scale).
std::string spectrumCursorLevelText(int referenceDb, double y, bool db15PerDiv, SpectrumScale scale,
                                    bool dbvToVolt);
// "dV = 12.00 dB..." for the distance of two cursors in screen codes.
std::string spectrumCursorDeltaText(double dy, bool db15PerDiv, SpectrumScale scale);

} // namespace kx::analyzers
