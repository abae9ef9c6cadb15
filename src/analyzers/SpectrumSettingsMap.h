// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/SpectrumFrame.h"
#include "core/state/FftState.h"

namespace kx::analyzers {

// The spectrum settings of the instrument state, with stored values out of range taken as the
// nearest valid choice (unknown windows and scales as the first item).
SpectrumSettings spectrumSettingsFrom(const core::FftState& fft);

} // namespace kx::analyzers
