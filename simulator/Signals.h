// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>

namespace kx::sim {

// Instrument time in picoseconds: exact for the 5 ns sample clock and the 625 ps fast-digital rate.
using Picoseconds = std::int64_t;
constexpr Picoseconds kPsPerNs = 1000;
constexpr Picoseconds kPsPerSecond = 1'000'000'000'000;

// A voltage on one input as a function of time.
class Signal {
public:
    virtual ~Signal() = default;
    virtual double volts(Picoseconds t) const = 0;
    // Long-run mean (what AC coupling removes).
    virtual double mean() const = 0;
    // Exact repetition period in picoseconds (0: the signal never repeats, or is constant), so
    // the frequency counter can extend one period's edges over any span.
    virtual double periodPs() const { return 0.0; }
    // Hints that let the trigger search skip quiet stretches: the value holds from t until (not
    // including) stableUntil(t); between such stretches it never moves faster than maxSlope() V/s.
    virtual Picoseconds stableUntil(Picoseconds t) const { return t; }
    virtual double maxSlope() const { return std::numeric_limits<double>::infinity(); }
};

constexpr Picoseconds kForever = std::numeric_limits<Picoseconds>::max() / 4;

// 1 kHz square, 0 V .. 2 V, with a short rise and a damped ring on each edge.
class Calibrator final : public Signal {
public:
    double volts(Picoseconds t) const override;
    double mean() const override { return 1.0; }
    double periodPs() const override { return static_cast<double>(kPsPerSecond / 1000); }
    Picoseconds stableUntil(Picoseconds t) const override;
};

// A fixed level (ground, or a bench supply).
class Level final : public Signal {
public:
    explicit Level(double v = 0.0) : m_volts(v) {}
    void set(double v) { m_volts = v; }
    double volts(Picoseconds) const override { return m_volts; }
    double mean() const override { return m_volts; }
    Picoseconds stableUntil(Picoseconds) const override { return kForever; }

private:
    double m_volts;
};

// Logic signal 0 V / 3.3 V: high for `high` out of every `period`, starting high at phase 0.
class Clock final : public Signal {
public:
    Clock(Picoseconds period, Picoseconds high) : m_period(period), m_high(high) {}
    double volts(Picoseconds t) const override;
    double mean() const override { return 3.3 * static_cast<double>(m_high) / static_cast<double>(m_period); }
    double periodPs() const override { return static_cast<double>(m_period); }
    Picoseconds stableUntil(Picoseconds t) const override;

private:
    Picoseconds m_period;
    Picoseconds m_high;
};

} // namespace kx::sim
