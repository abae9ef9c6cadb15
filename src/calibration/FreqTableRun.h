// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace kx::calibration {

// The automatic measurement of the reference oscillator's tuning table: 150 ticks of the
// dialog's 100 ms timer, the counter read at countdown 121, 91, 61, 31 and 1, each after 3 s at
// the next of the five tuning codes.
class FreqTableRun {
public:
    static constexpr int kTicks = 150;
    static constexpr int kPoints = 5;

    // What one tick asks of the dialog.
    struct Step {
        int write = -1; // point 0..4 gets `ppm` (its edit, three decimals)
        double ppm = 0.0;
        int focus = -1;        // point 0..4 now tuned and focused; kPoints: "Cancel" (the end)
        bool finished = false; // the table is complete: tune to 0 ppm, test mode 0
        bool aborted = false;  // an invalid reading stopped it
    };

    // Starts at point 0 (the caller tunes it).
    void start() { m_countdown = kTicks; }
    void stop() { m_countdown = 0; }
    [[nodiscard]] bool running() const { return m_countdown > 0; }
    // Progress 0..max.
    [[nodiscard]] int progress(int max) const;

    // One tick with the latest deviation reading (ppm), when it is valid.
    Step tick(std::optional<double> deviationPpm);

private:
    int m_countdown = 0;
};

// The five tuning codes the table is measured at.
inline constexpr std::uint16_t kTuningPointCode[FreqTableRun::kPoints] = {0x4000, 0x6000, 0x8000, 0xA000,
                                                                          0xC000};

// What a ppm edit stores for a reading written into it with three decimals: ppm x 100.
std::int32_t tablePointValue(double ppm);

// A deviation reading the table may take: within 200 ppm of the reference.
std::optional<double> tableReading(bool haveReading, double frequency, double ppm);

} // namespace kx::calibration
