// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace kx::tool {

// The faults of the soak run, each made in the simulated instrument and undone as a user would
// (cable back in, power back on, Yes to the recovery question).
enum class SoakFault : std::uint8_t { Unplug, PowerOff, FlashFail, LostAcks, ErrorBurst };

struct SoakEvent {
    double atSeconds = 0;
    SoakFault fault = SoakFault::Unplug;
    std::string make; // the simulator control text that makes the fault
    std::string undo; // and the one that undoes it ("" when it ends by itself)
};

// Seeded fault moments: the same seed gives the same run of faults.
class SoakPlan {
public:
    explicit SoakPlan(std::uint32_t seed) : m_rng(seed) {}
    // The next fault, `after` seconds or later (a quiet 4 .. 15 s later).
    SoakEvent next(double after);
    // The steady bit error rates of both directions.
    static constexpr const char* kBackgroundErrors = "bit_errors=0.000002;bit_errors_in=0.00002";

private:
    std::mt19937 m_rng;
};

const char* soakFaultName(SoakFault f);

} // namespace kx::tool
