// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace kx::analyzers {

// Single-bin Fourier sums of one frame's A1 samples at the number of cycles the record holds.
struct LcSums {
    double c = 0;
    double s = 0;
    int cycles = 0;
};
// n: the frame's AnalogCount; decimation: of the step.
LcSums lcFourierSums(std::span<const std::int32_t> a1, int n, double frequencyHz, std::uint32_t decimation);

// Phase of the frame in radians against the generator: the frame's phase word (header word 36)
// and the step's frequency word, plus the step's phase correction, wrapped once into -pi..pi.
double lcFramePhase(const LcSums& sums, std::uint32_t infoWord36, std::uint64_t genFreqWord,
                    double phaseCorrection);

// Averages a frames of one step; the first frame after a restart is discarded.
class LcStepAverager {
public:
    void restart();
    // True when `frames` frames have been averaged (the step is complete).
    bool add(const LcSums& sums, double phase, int frames);
    // Volts peak to peak for the A1 range in µV per division and the frame's sample count.
    double amplitude(double rangeUv, int n, int frames) const;
    double phase(int frames) const { return frames > 0 ? m_phaseSum / frames : 0; }
    int count() const { return m_count; }

private:
    bool m_discard = true;
    int m_count = 0;
    double m_amplitudeSum = 0;
    double m_phaseSum = 0;
};

} // namespace kx::analyzers
