// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/ZeroCalibration.h"

#include <cmath>

namespace kx::calibration {

namespace {

void putWord(core::CalTable& t, std::size_t word, double value) {
    const double v = std::round(value);
    const auto u = static_cast<std::uint16_t>(v < 0.0 ? 0.0 : (v > 65535.0 ? 65535.0 : v));
    t[2 * word] = static_cast<std::uint8_t>(u & 0xFF);
    t[2 * word + 1] = static_cast<std::uint8_t>(u >> 8);
}

} // namespace

void ZeroCalibration::start(const core::CalTable& table, bool hasA2) {
    m_table = table;
    m_hasA2 = hasA2;
    m_running = true;
    m_progress = 0;
    beginStep(0);
}

void ZeroCalibration::beginStep(std::size_t index) {
    m_step = index;
    m_frame = 0;
    m_sum[0] = m_sum[1] = 0.0;
    m_count[0] = m_count[1] = 0;
}

bool ZeroCalibration::runningMean(int channel, double& mean) const {
    const auto c = static_cast<std::size_t>(channel == 0 ? 0 : 1);
    if (m_count[c] == 0) return false;
    mean = m_sum[c] / m_count[c];
    return true;
}

ZeroOutcome ZeroCalibration::frame(const ZeroFrame& f) {
    if (!m_running) return ZeroOutcome::Failed;
    ++m_progress;
    if (m_frame >= kZeroFirstAveragedFrame && f.hasSamples) {
        for (int c = 0; c < (m_hasA2 ? 2 : 1); ++c) {
            const std::int32_t pp = f.peakToPeak[c];
            if (pp >= 0 && pp < kZeroPeakToPeakLimit) {
                m_sum[c] += f.mean[c];
                ++m_count[c];
            }
        }
    }
    m_lastSupply = f.supplyRaw;
    if (++m_frame < kZeroFramesPerStep) return ZeroOutcome::Measuring;

    if (m_count[0] == 0) {
        m_running = false;
        return ZeroOutcome::Failed;
    }
    const ZeroStep& s = step();
    putWord(m_table, s.wordA1, m_sum[0] / m_count[0]);
    if (m_hasA2 && m_count[1] > 0) putWord(m_table, s.wordA2, m_sum[1] / m_count[1]);
    // The supply just before the load is put on, and under it.
    if (m_step + 1 < kZeroSteps.size() && kZeroSteps[m_step + 1].loaded)
        putWord(m_table, core::kZeroWordSupply, m_lastSupply);
    if (s.loaded) putWord(m_table, core::kZeroWordSupplyLoaded, m_lastSupply);

    if (m_step + 1 == kZeroSteps.size()) {
        m_running = false;
        return ZeroOutcome::Done;
    }
    beginStep(m_step + 1);
    return ZeroOutcome::NextStep;
}

} // namespace kx::calibration
