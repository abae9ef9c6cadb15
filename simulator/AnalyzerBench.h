// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Generator.h"
#include "Signals.h"

#include <complex>
#include <optional>
#include <string_view>

namespace kx::sim {

// A circuit between the generator (its EMF behind 50 Ohm) and A1, for the analyzers:
//   thru, rc:R:C                  network analyzer (the generator's cable terminated in 50 Ohm)
//   open, short, load, rlc:R:L:C  antenna analyzer, through the bridge and its cable
//   lc:R:L:C, lc:open             LC meter: the component straight across A1
// Values in ohms, henries and farads, with SI suffixes (p n u m k M G).
class AnalyzerCircuit {
public:
    enum class Kind { None, Thru, Rc, Open, Short, Load, Rlc, Lc };

    static std::optional<AnalyzerCircuit> parse(std::string_view value);

    Kind kind() const { return m_kind; }
    bool active() const { return m_kind != Kind::None; }
    // A1's tone per volt of the generator's EMF at hz, as amplitude and phase.
    std::complex<double> response(double hz) const;
    // Impedance of the component of the antenna and LC benches (open: A1's 1 MOhm).
    std::complex<double> load(double hz) const;

    // The generator's source resistance.
    static constexpr double kSourceOhms = 50.0;

    bool operator==(const AnalyzerCircuit&) const = default;

private:
    Kind m_kind = Kind::None;
    double m_r = 0, m_l = 0, m_c = 0;
};

// "10k", "100n", "4.7u", "1e-9": a value with an optional SI suffix; nothing on bad text.
std::optional<double> parseSiValue(std::string_view text);

// A1 in the time domain on a circuit bench: the generator's sine through the circuit's response
// at the generator's frequency (exact for a steady sine, which is what the analyzers send).
class CircuitSignal final : public Signal {
public:
    CircuitSignal(const Generator& generator, const AnalyzerCircuit& circuit)
        : m_generator(generator), m_circuit(circuit) {}
    double volts(Picoseconds t) const override;
    double mean() const override;
    double periodPs() const override { return m_generator.periodPs(); }
    double maxSlope() const override;
    Picoseconds stableUntil(Picoseconds t) const override;

private:
    // The response at the generator's frequency, worked out again only when that changes.
    void update() const;

    const Generator& m_generator;
    const AnalyzerCircuit& m_circuit;
    mutable AnalyzerCircuit m_seen;
    mutable double m_hz = -1.0;
    mutable double m_gain = 1.0;
    mutable double m_dc = 1.0;
    mutable Picoseconds m_shiftPs = 0;
};

} // namespace kx::sim
