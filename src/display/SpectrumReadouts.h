// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/Distortion.h"
#include "analyzers/Spectrum.h"
#include "display/ReadoutTexts.h"

namespace kx::display {

// What the spectrum readouts need besides the frame's words: the cross-channel phase, the
// first bin shown and, with "Distortion" on, the figures of the channel shown.
struct SpectrumReadoutData {
    analyzers::CrossPhase cross;
    std::int64_t fftScrollPos = 0;
    bool distortionShown = false;
    analyzers::DistortionFigures distortion;
};

// The status row, row 1's first frequency, the cursor row and the channel rows of the
// spectrum view, and the distortion row; appended to `out`. Only when a spectrum is shown.
void appendSpectrumReadouts(const ReadoutContext& c, const SpectrumReadoutData& d, TextList& out);

// The distortion row's six texts: "THD = -40.00 dB (1.000 %)", "THD+N = ...", ...
void appendDistortionTexts(const ReadoutContext& c, const analyzers::DistortionFigures& d, TextList& out);

} // namespace kx::display
