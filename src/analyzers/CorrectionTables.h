// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

namespace kx::analyzers {

constexpr int kMaxCalibrationPoints = 10000;

// Network-analyzer correction: complex factors over start .. start + span hertz.
struct NetworkCorrectionTable {
    int count = 0; // 0 = none
    std::int32_t startHz = 0;
    std::int32_t spanHz = 0;
    std::vector<std::complex<double>> factors; // count values
};

// Antenna-analyzer open/short/load terms over start .. start + span hertz.
struct AntennaTermTable {
    int count = 0;
    std::int32_t startHz = 0;
    std::int32_t spanHz = 0;
    std::vector<std::complex<double>> e1, e2, e3; // count values each
};

// Value of a table at frequency f: linear between neighbouring points, clamped to the first
// point below the start and to the last one from the last point on. An empty table gives 0.
std::complex<double> interpolateTable(std::span<const std::complex<double>> values, std::int32_t startHz,
                                      std::int32_t spanHz, double frequencyHz);

} // namespace kx::analyzers
