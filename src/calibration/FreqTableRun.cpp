// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/FreqTableRun.h"

#include "core/Rounding.h"

#include <algorithm>
#include <cmath>

namespace kx::calibration {

int FreqTableRun::progress(int max) const {
    if (m_countdown <= 0) return 0;
    return static_cast<int>(max * (1.0 - static_cast<double>(m_countdown) / kTicks));
}

FreqTableRun::Step FreqTableRun::tick(std::optional<double> deviation) {
    Step s;
    if (m_countdown <= 0) return s;
    // Readings are taken at 121, 91, 61, 31 and 1: 29 ticks after the first code, 30 after the others.
    if ((m_countdown - 1) % 30 == 0) {
        const int point = kPoints - 1 - (m_countdown - 1) / 30;
        if (!deviation) {
            s.aborted = true;
            m_countdown = 0;
            return s;
        }
        s.write = point;
        s.ppm = *deviation;
        s.focus = point + 1;
        if (point + 1 == kPoints) {
            s.finished = true;
            m_countdown = 0;
            return s;
        }
    }
    --m_countdown;
    return s;
}

std::int32_t tablePointValue(double ppm) {
    const double shown = static_cast<double>(core::roundHalfAway(ppm * 1000.0)) / 1000.0;
    return core::roundHalfAway<std::int32_t>(std::clamp(shown * 100.0, -32768.0, 32767.0));
}

std::optional<double> tableReading(bool haveReading, double frequency, double ppm) {
    if (!haveReading || !(frequency > 0.0) || !(std::abs(ppm) < 200.0)) return std::nullopt;
    return ppm;
}

} // namespace kx::calibration
