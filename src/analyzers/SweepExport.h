// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <string>

namespace kx::analyzers {

// A sweep's points as text, one line per point with data, lines ending in CR LF.

// "frequency_hz,gain_db,phase_deg": the network analyzer's response (0 dB at its reference).
std::string networkSweepCsv(const core::FrameRecord& frame);
// "frequency_hz,swr,return_loss_db,r_ohm,x_ohm,z_ohm,q,phase_deg" against zo.
std::string antennaSweepCsv(const core::FrameRecord& frame, double zo);
// Touchstone 1.1 one-port file: "# Hz S RI R 50", the reflection against the bridge's 50 Ohm.
std::string touchstoneS1p(const core::FrameRecord& frame);

// Whether the frame is a sweep of that analyzer (AnalyzerMode 1 network, 2 antenna) with at
// least one point measured: the exports write nothing else.
bool sweepHasData(const core::FrameRecord& frame, std::uint32_t analyzerMode);

// Writes the text whole; false when the file cannot be written.
bool writeTextFile(const std::string& path, const std::string& text);

} // namespace kx::analyzers
