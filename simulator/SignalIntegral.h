// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Signals.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace kx::sim {

// The running integral of a value taken from an input signal (what a frequency modulator adds
// up), read at any instant. A repeating input is integrated over one period once and extended;
// any other is integrated forwards on demand, with checkpoints to come back to. Quiet stretches
// of the input are taken in one piece, the rest on the 5 ns sample clock.
class SignalIntegral {
public:
    using Value = std::function<double(Picoseconds)>;

    // `hints` gives the input's period and quiet stretches; the integral is 0 at `origin`.
    void reset(const Signal* hints, Value value, Picoseconds origin);
    bool active() const { return static_cast<bool>(m_value); }
    // Integral from the origin to t, in value x seconds.
    double at(Picoseconds t) const;

private:
    struct Piece {
        double start = 0.0; // ps from the origin (periodic) or absolute (running)
        double before = 0.0;
        double value = 0.0;
    };
    void buildPeriod() const;
    // Integrates [from, to) into `sum`; the quiet-stretch hints decide the steps.
    double integrate(Picoseconds from, Picoseconds to) const;

    const Signal* m_hints = nullptr;
    Value m_value;
    Picoseconds m_origin = 0;

    // Repeating input.
    mutable bool m_built = false;
    mutable bool m_periodic = false;
    mutable double m_period = 0.0;
    mutable double m_perPeriod = 0.0;
    mutable std::vector<Piece> m_pieces;

    // Any other input: where the integration stands, and earlier points to start again from.
    mutable Picoseconds m_at = 0;
    mutable double m_sum = 0.0;
    mutable std::deque<std::pair<Picoseconds, double>> m_checkpoints;
};

// A random walk of Gaussian steps of deviation sigma, readable at any step n without walking
// there (the walk is laid out by repeated midpoint displacement from a seed).
double randomWalk(std::uint64_t seed, std::int64_t n, double sigma);

// A Gaussian value of deviation sigma fixed by (seed, n).
double hashedNormal(std::uint64_t seed, std::int64_t n, double sigma);

} // namespace kx::sim
