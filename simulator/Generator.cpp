// SPDX-License-Identifier: GPL-3.0-or-later
#include "Generator.h"

#include "Factory.h"
#include "FrontEnd.h"
#include "TimeMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kx::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwo48 = 281474976710656.0;
constexpr std::uint64_t kWordMask = (std::uint64_t{1} << 48) - 1;
constexpr Picoseconds kSynthesisPs = 2500; // the 400 MHz synthesis clock
constexpr double kSynthesisHz = 400e6;
constexpr double kLogicHigh = 3.3;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Registers read here and nowhere else in the instrument (offset = address - 0xFF00).
constexpr std::size_t kA1ZeroPosition = 95; // zero position / 16, 12 bits
constexpr std::size_t kA2ZeroPosition = 97;
constexpr std::uint8_t kMiscLoadBit16 = 0x08;
constexpr std::uint8_t kMiscLoadCoarse = 0x10;

// What the panel's modulation parameter puts into the depth word per unit; A1 and A2 as sources
// take a per-division parameter (factor 4 for AM and SUM, other constants for FM and PM).
constexpr double kAmPerParameter = 32.76775; // x amplitude code / 4096
constexpr double kExternalAmSum = 4.0;
const double kFmInternalPerParameter = 1073741824.0 * 1280.0 / (1e8 * 2047.0);
const double kFmExternalPerParameter = 1073741824.0 / 1e8;
constexpr double kPmInternalPerParameter = 0.01 * 8196.0;
constexpr double kPmExternalPerParameter = 0.01 * 65536.0 / 5.0;

// Internal noise as a modulating signal: Gaussian, full scale at three deviations.
constexpr double kNoiseDeviation = 1.0 / 3.0;
constexpr std::uint64_t kNoiseSeed = 0x6E015E5EEDull;
constexpr double kAwgMidCode = 2047.5;

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ull;
    return x ^ (x >> 33);
}

std::uint64_t wrapWord(__int128 v) {
    const __int128 m = static_cast<__int128>(1) << 48;
    v %= m;
    if (v < 0) v += m;
    return static_cast<std::uint64_t>(v);
}

double hertzOf(double word) {
    return word * kSynthesisHz / kTwo48;
}

bool periodicShape(unsigned shape) {
    return shape <= 4;
}

// The five shapes over one cycle, 0 .. 1.
double shapeLevel(unsigned shape, double p) {
    switch (shape) {
    case 0:
        return 0.5 + 0.5 * std::sin(2.0 * kPi * p);
    case 1:
        return p;
    case 2:
        return 1.0 - p;
    case 3:
        return p < 0.5 ? 1.0 : 0.0;
    case 4:
        return p < 0.5 ? 2.0 * p : 2.0 - 2.0 * p;
    default:
        return 1.0; // constant level
    }
}

// Integral over [0, p] of the shape taken as -1 .. 1; every shape has mean 0 over a cycle.
double shapeIntegral(unsigned shape, double p) {
    switch (shape) {
    case 0:
        return (1.0 - std::cos(2.0 * kPi * p)) / (2.0 * kPi);
    case 1:
        return p * p - p;
    case 2:
        return p - p * p;
    case 3:
        return p < 0.5 ? p : 1.0 - p;
    case 4:
        return p < 0.5 ? 2.0 * p * p - p : -2.0 * p * p + 3.0 * p - 1.0;
    default:
        return p;
    }
}

// Noise of the synthesis path: a new uniform value every synthesis clock, 0 .. 1.
double noiseLevel(Picoseconds t) {
    return static_cast<double>(mix(static_cast<std::uint64_t>(floorDiv(t, kSynthesisPs))) >> 11) * 0x1.0p-53;
}

double fraction(double cycles) {
    return cycles - std::floor(cycles);
}

} // namespace

// ---- PhaseAccumulator ----

void PhaseAccumulator::retune(std::uint64_t word, Picoseconds t, double acc) {
    m_acc0 = static_cast<std::uint64_t>(std::max(0.0, acc)) & kWordMask;
    m_word = word & kWordMask;
    m_t0 = t;
}

double PhaseAccumulator::hertz() const {
    return hertzOf(static_cast<double>(m_word));
}

double PhaseAccumulator::accumulator(Picoseconds t) const {
    const Picoseconds d = t - m_t0;
    const std::int64_t ticks = floorDiv(d, kSynthesisPs);
    const double rest = static_cast<double>(d - ticks * kSynthesisPs) / kSynthesisPs;
    const std::uint64_t whole = wrapWord(static_cast<__int128>(m_acc0) +
                                         static_cast<__int128>(ticks) * static_cast<__int128>(m_word));
    return static_cast<double>(whole) + rest * static_cast<double>(m_word);
}

double PhaseAccumulator::phase(Picoseconds t) const {
    return fraction(accumulator(t) / kTwo48);
}

// ---- SweepAccumulator ----

void SweepAccumulator::retune(std::uint64_t start, std::uint64_t step, const SweepClock& clock, Picoseconds t,
                              double acc) {
    m_start = start & kWordMask;
    m_step = step & kWordMask;
    m_clock = clock;
    m_t0 = t;
    m_acc0 = static_cast<std::uint64_t>(std::max(0.0, acc)) & kWordMask;
}

void SweepAccumulator::restart(Picoseconds t) {
    m_acc0 = static_cast<std::uint64_t>(accumulator(t)) & kWordMask;
    m_t0 = t;
}

double SweepAccumulator::topWord() const {
    if (!sweeping()) return static_cast<double>(m_start);
    return static_cast<double>(m_start) +
           static_cast<double>(m_step) * static_cast<double>(m_clock.steps - 1);
}

double SweepAccumulator::accumulator(Picoseconds t) const {
    const __int128 f = m_start;
    if (!sweeping()) {
        const Picoseconds d = t - m_t0;
        const std::int64_t ticks = floorDiv(d, kSynthesisPs);
        const double rest = static_cast<double>(d - ticks * kSynthesisPs) / kSynthesisPs;
        return static_cast<double>(wrapWord(m_acc0 + ticks * f)) + rest * static_cast<double>(m_start);
    }
    // Sample clock k since the restart, j of them into the present round of `steps`; during sample
    // clock j the word is start + j x step.
    const std::int64_t dt = m_clock.samplePs;
    const std::int64_t k = floorDiv(t - m_t0, dt);
    const double rest = static_cast<double>(t - m_t0 - k * dt) / kSynthesisPs;
    const std::int64_t n = m_clock.steps;
    const std::int64_t rounds = floorDiv(k, n);
    const std::int64_t j = k - rounds * n;
    const __int128 ticks = dt / kSynthesisPs;
    const __int128 s = m_step;
    const std::uint64_t perRound = wrapWord(ticks * (n * f + s * (static_cast<__int128>(n) * (n - 1) / 2)));
    const std::uint64_t intoRound = wrapWord(ticks * (j * f + s * (static_cast<__int128>(j) * (j - 1) / 2)));
    const std::uint64_t whole =
        wrapWord(static_cast<__int128>(m_acc0) + static_cast<__int128>(rounds) * perRound + intoRound);
    const double word = static_cast<double>(m_start) + static_cast<double>(m_step) * static_cast<double>(j);
    return static_cast<double>(whole) + rest * word;
}

// ---- Generator ----

Generator::Generator() : m_markSignal(*this) {
    reset();
}

void Generator::reset() {
    m_function = kPlain;
    m_source = kInternal;
    m_invert = false;
    m_shape = 5;
    m_modShape = 5;
    m_stepWord = 0;
    m_ampCode = 0;
    m_lowVolts = 0.0;
    m_ampVolts = 0.0;
    m_load = 1.0;
    m_amDepth = m_fmHertz = m_pmCycles = m_sumLevel = 0.0;
    m_carrier = PhaseAccumulator{};
    m_sweep = SweepAccumulator{};
    m_modulator = PhaseAccumulator{};
    m_pulse = PulseClock{};
    m_markAddress = kAwgNoMark;
    m_awgTiming = AwgTiming{};
    m_program.fill(0);
    m_awg.reset();
    m_integral.reset(nullptr, {}, 0);
}

double Generator::carrierAccumulator(Picoseconds t) const {
    return m_function == kSweep ? m_sweep.accumulator(t) : m_carrier.accumulator(t);
}

double Generator::carrierHertz() const {
    return m_function == kSweep ? hertzOf(m_sweep.startWord()) : m_carrier.hertz();
}

double Generator::carrierPhase(Picoseconds t) const {
    return fraction(carrierAccumulator(t) / kTwo48);
}

void Generator::configure(const RegisterFile& r, const Factory& factory, Picoseconds t,
                          const SweepClock& sweep) {
    const unsigned func = r[reg::kGenFunc];
    const unsigned shape = r[reg::kGenShape];
    // The once flags of the shape register.
    const bool sync = (shape & 0x40) != 0;
    const bool run = (shape & 0x80) != 0;

    // Carrier: the phase runs on across new words, from whichever accumulator was in use.
    const double acc = sync ? 0.0 : carrierAccumulator(t);
    const unsigned oldFunction = m_function;
    m_function = func & 0x07;
    m_source = (func >> 3) & 0x0F;
    m_invert = (func & 0x80) != 0;
    m_shape = shape & 0x07;
    m_modShape = (shape >> 3) & 0x07;
    const std::uint64_t freq = regU48(r, reg::kGenFreq);
    m_stepWord = regU48(r, reg::kGenStep);
    if (m_function == kSweep) {
        if (sync || oldFunction != kSweep || !m_sweep.same(freq, m_stepWord, sweep))
            m_sweep.retune(freq, m_stepWord, sweep, t, acc);
    } else if (sync || oldFunction == kSweep || freq != m_carrier.word()) {
        m_carrier.retune(freq, t, acc);
    }
    const std::uint64_t modWord = regU48(r, reg::kGenModFreq);
    if (sync || modWord != m_modulator.word())
        m_modulator.retune(modWord, t, sync ? 0.0 : m_modulator.accumulator(t));

    // Lowest level from the offset DAC through this unit's own characteristic (0.1 mV units).
    const double code = static_cast<double>(regU16(r, reg::kGenOffset)) - 32768.0;
    const double slope = code < 0 ? (factory.genAtMid - factory.genAtLow) / 24576.0
                                  : (factory.genAtHigh - factory.genAtMid) / 24576.0;
    m_lowVolts = (factory.genAtMid + code * slope) * 1e-4;
    m_ampCode = regU16(r, reg::kGenAmp);
    // In AWG function the amplitude code is 4095 at 4 V.
    m_ampVolts = (m_function == kAwg ? m_ampCode * 4000.0 / 4095.0 : m_ampCode) * 1e-3;

    // The external load k, read back from its code with the A2 range it was computed for.
    const std::uint8_t misc = r[reg::kMisc];
    const double loadCode = regU16(r, reg::kGenLoad) + ((misc & kMiscLoadBit16) ? 65536.0 : 0.0);
    const double rangeUv = voltsPerDivision(r[reg::kA2Gain], r[reg::kA2FrontEnd], false) * 1e6;
    const double fullLoad = 500000.0 / rangeUv * 1.024 * ((misc & kMiscLoadCoarse) ? 64.0 : 4096.0);
    m_load = std::clamp(loadCode / fullLoad, 0.0, 1.0);

    m_zeroCode[0] = regU16(r, kA1ZeroPosition) / 16.0;
    m_zeroCode[1] = regU16(r, kA2ZeroPosition) / 16.0;

    // Modulation strengths: the panel's parameter back from the depth word, then what it means.
    const double step = static_cast<double>(m_stepWord);
    const bool ext = externalSource();
    m_amDepth = m_fmHertz = m_pmCycles = m_sumLevel = 0.0;
    switch (m_function) {
    case kAm:
        if (m_ampCode > 0)
            m_amDepth = step * 4096.0 / (kAmPerParameter * m_ampCode * (ext ? kExternalAmSum : 1.0)) *
                        (ext ? 0.00025 : 0.001);
        break;
    case kFm:
        m_fmHertz = ext ? step / kFmExternalPerParameter * 0.2 : step / kFmInternalPerParameter * 10.0;
        break;
    case kPm:
        // The index counts in 90 degrees.
        m_pmCycles =
            (ext ? step / kPmExternalPerParameter * 0.002 : step / kPmInternalPerParameter * 0.01) * 0.25;
        break;
    case kSum:
        m_sumLevel = step / (kAmPerParameter * (ext ? kExternalAmSum : 1.0)) * (ext ? 0.00025 : 0.001);
        break;
    default:
        break;
    }

    // Pulse generator: period and width counters on the 5 ns clock, started afresh by a new setting.
    const std::uint32_t period = regU32(r, reg::kGenPulsePeriod);
    PulseClock pulse;
    pulse.period = period == 0 ? 0 : (static_cast<Picoseconds>(period) + 1) * 5000;
    pulse.width = static_cast<Picoseconds>(regU32(r, reg::kGenPulseWidth)) * 5000;
    pulse.origin = m_pulse.origin;
    if (sync || pulse.period != m_pulse.period || pulse.width != m_pulse.width) pulse.origin = t;
    m_pulse = pulse;

    // AWG sequencer: its clock, the marked address and the pulse generator its WAIT looks at.
    m_markAddress =
        static_cast<std::uint16_t>(std::min<std::uint32_t>(regU16(r, reg::kGenAwgMark), kAwgNoMark));
    m_awgTiming.clockPs = (static_cast<Picoseconds>(regU32(r, reg::kGenAwgDiv)) + 1) * 5000;
    m_awgTiming.markAddress = m_markAddress;
    m_awgTiming.pulse = m_pulse;
    if (run)
        m_awg.run(m_program, m_awgTiming, t);
    else
        m_awg.update(m_program, m_awgTiming, t);

    m_integralOrigin = t;
    rebuildIntegral();
}

void Generator::connect(const GeneratorInputs& inputs) {
    m_inputs = inputs;
    rebuildIntegral();
}

void Generator::programWritten(std::span<const std::uint8_t> awgBytes, Picoseconds t) {
    for (std::size_t i = 0; i < m_program.size() && 2 * i + 1 < awgBytes.size(); ++i)
        m_program[i] = static_cast<std::uint16_t>(awgBytes[2 * i] | (awgBytes[2 * i + 1] << 8));
    m_awg.update(m_program, m_awgTiming, t);
}

void Generator::restartSweep(Picoseconds t) {
    if (m_function == kSweep) m_sweep.restart(t);
}

void Generator::rebuildIntegral() {
    // Only frequency modulation by an input needs its running integral.
    m_integral.reset(nullptr, {}, m_integralOrigin);
    if (m_function != kFm) return;
    if (m_source == kA1 || m_source == kA2) {
        const int ch = m_source == kA1 ? 0 : 1;
        const FrontEnd* fe = m_inputs.analog[ch];
        if (fe == nullptr || fe->input() == nullptr || fe->input() == this) return;
        m_integral.reset(
            fe->input(), [this, ch](Picoseconds t) { return analogDivisions(ch, t); }, m_integralOrigin);
    } else if (m_source >= kD1 && m_source <= kD4) {
        const int ch = static_cast<int>(m_source - kD1);
        const Signal* input = logicInput(ch);
        if (input == nullptr) return;
        const double threshold = m_inputs.threshold[ch];
        m_integral.reset(
            input, [input, threshold](Picoseconds t) { return input->volts(t) > threshold ? 1.0 : -1.0; },
            m_integralOrigin);
    }
}

double Generator::analogDivisions(int channel, Picoseconds t) const {
    const FrontEnd* fe = m_inputs.analog[channel];
    // The generator's own output as its modulating input: the loop is open, nothing comes back.
    if (fe == nullptr || fe->input() == nullptr || fe->input() == this) return 0.0;
    const double code = std::round(std::clamp(fe->idealCode(t), 0.0, 255.0));
    return (code - m_zeroCode[channel]) / 32.0;
}

const Signal* Generator::logicInput(int channel) const {
    const Signal* input = m_inputs.digital[channel];
    // A logic input wired to the generator's own output: the loop is open, as on A1 and A2.
    return input == this ? nullptr : input;
}

double Generator::pulseLevel(Picoseconds t) const {
    return m_pulse.level(t) ? 1.0 : 0.0;
}

double Generator::modulating(Picoseconds t) const {
    double s = 1.0;
    switch (m_source) {
    case kInternal:
        if (m_modShape == 7) {
            s = hashedNormal(kNoiseSeed, floorDiv(t, kSynthesisPs), kNoiseDeviation);
        } else if (periodicShape(m_modShape)) {
            s = 2.0 * shapeLevel(m_modShape, m_modulator.phase(t)) - 1.0;
        }
        break;
    case kA1:
    case kA2:
        s = analogDivisions(m_source == kA1 ? 0 : 1, t);
        break;
    case kD1:
    case kD2:
    case kD3:
    case kD4: {
        const int ch = static_cast<int>(m_source - kD1);
        const Signal* input = logicInput(ch);
        s = input == nullptr ? 0.0 : input->volts(t) > m_inputs.threshold[ch] ? 1.0 : -1.0;
        break;
    }
    case kPulseSource:
        s = m_pulse.level(t) ? 1.0 : -1.0;
        break;
    case kAwgSource:
        s = m_awg.at(t).code / kAwgMidCode - 1.0;
        break;
    default:
        s = 0.0;
        break;
    }
    return m_invert ? -s : s;
}

double Generator::modulatingIntegral(Picoseconds t) const {
    const double seconds = static_cast<double>(t - m_integralOrigin) * 1e-12;
    double sum = 0.0;
    switch (m_source) {
    case kInternal:
        if (m_modShape == 7) {
            // Noise: the walk whose steps are the noise values, one per synthesis clock.
            sum = randomWalk(kNoiseSeed, floorDiv(t, kSynthesisPs), kNoiseDeviation) * kSynthesisPs * 1e-12;
        } else if (periodicShape(m_modShape) && m_modulator.word() != 0) {
            sum = shapeIntegral(m_modShape, m_modulator.phase(t)) / m_modulator.hertz();
        } else if (periodicShape(m_modShape)) {
            sum = (2.0 * shapeLevel(m_modShape, m_modulator.phase(t)) - 1.0) * seconds;
        } else {
            sum = seconds;
        }
        break;
    case kPulseSource: {
        if (m_pulse.period <= 0) {
            sum = -seconds;
            break;
        }
        const Picoseconds p = m_pulse.period;
        const Picoseconds w = std::min(m_pulse.width, p);
        const std::int64_t rounds = floorDiv(t - m_pulse.origin, p);
        const Picoseconds r = t - m_pulse.origin - rounds * p;
        const double partial = r < w ? static_cast<double>(r) : static_cast<double>(2 * w - r);
        sum = (static_cast<double>(rounds) * static_cast<double>(2 * w - p) + partial) * 1e-12;
        break;
    }
    case kAwgSource:
        sum = m_awg.codeIntegral(t) * 1e-12 / kAwgMidCode - seconds;
        break;
    default:
        sum = m_integral.at(t);
        break;
    }
    return m_invert ? -sum : sum;
}

double Generator::modulatingMean() const {
    double s = 0.0;
    switch (m_source) {
    case kInternal:
        s = m_modShape == 7 || (periodicShape(m_modShape) && m_modulator.word() != 0) ? 0.0 : 1.0;
        break;
    case kD1:
    case kD2:
    case kD3:
    case kD4: {
        const Signal* input = logicInput(static_cast<int>(m_source - kD1));
        s = input != nullptr ? 2.0 * std::clamp(input->mean() / kLogicHigh, 0.0, 1.0) - 1.0 : 0.0;
        break;
    }
    case kPulseSource:
        s = m_pulse.period > 0
                ? 2.0 * std::min(1.0, static_cast<double>(m_pulse.width) / m_pulse.period) - 1.0
                : -1.0;
        break;
    case kAwgSource:
        s = m_awg.meanCode() / kAwgMidCode - 1.0;
        break;
    default:
        break;
    }
    return m_invert ? -s : s;
}

double Generator::modulatingPeak() const {
    if (m_source == kInternal && m_modShape == 7) return kInfinity;
    // A1 and A2: their codes lie within 8 divisions of the zero line.
    return externalSource() ? 8.0 : 1.0;
}

Picoseconds Generator::modulatingStableUntil(Picoseconds t) const {
    switch (m_source) {
    case kInternal:
        return m_modShape == 7 || (periodicShape(m_modShape) && m_modulator.word() != 0) ? t : kForever;
    case kA1:
    case kA2: {
        const FrontEnd* fe = m_inputs.analog[m_source == kA1 ? 0 : 1];
        if (fe == nullptr || fe->input() == nullptr || fe->input() == this) return kForever;
        return fe->input()->stableUntil(t);
    }
    case kD1:
    case kD2:
    case kD3:
    case kD4: {
        const Signal* input = logicInput(static_cast<int>(m_source - kD1));
        return input != nullptr ? input->stableUntil(t) : kForever;
    }
    case kPulseSource:
        return m_pulse.nextEdge(t);
    case kAwgSource:
        return m_awg.nextChange(t);
    default:
        return kForever;
    }
}

double Generator::waveform(double phase, Picoseconds t) const {
    if (m_shape == 7) return noiseLevel(t);
    return shapeLevel(m_shape, phase);
}

double Generator::carrier(Picoseconds t) const {
    if (constantCarrier()) return 1.0; // held at its top
    if (m_shape == 7) return 2.0 * noiseLevel(t) - 1.0;
    return 2.0 * shapeLevel(m_shape, carrierPhase(t)) - 1.0;
}

double Generator::output(Picoseconds t) const {
    double w = 0.0;
    switch (m_function) {
    case kPlain:
    case kSweep:
        w = waveform(carrierPhase(t), t);
        break;
    case kAm:
        // The carrier at half the amplitude around the middle, its envelope swinging with the depth.
        w = 0.5 + 0.25 * carrier(t) * (1.0 + m_amDepth * modulating(t));
        break;
    case kFm:
        w = waveform(fraction(carrierPhase(t) + m_fmHertz * modulatingIntegral(t)), t);
        break;
    case kPm:
        w = waveform(fraction(carrierPhase(t) + m_pmCycles * modulating(t)), t);
        break;
    case kSum:
        w = 0.5 + 0.25 * carrier(t) + 0.25 * m_sumLevel * modulating(t);
        break;
    case kAwg:
        w = m_awg.at(t).code / 4095.0;
        break;
    default:
        w = pulseLevel(t);
        break;
    }
    return m_lowVolts + m_ampVolts * w;
}

double Generator::volts(Picoseconds t) const {
    return m_load * output(t);
}

double Generator::mean() const {
    const double shapeMean = constantCarrier() ? 1.0 : 0.5;
    const double carrierMean = constantCarrier() ? 1.0 : 0.0;
    double w = shapeMean;
    switch (m_function) {
    case kAm:
        w = 0.5 + 0.25 * carrierMean * (1.0 + m_amDepth * modulatingMean());
        break;
    case kSum:
        w = 0.5 + 0.25 * carrierMean + 0.25 * m_sumLevel * modulatingMean();
        break;
    case kAwg:
        w = m_awg.meanCode() / 4095.0;
        break;
    case kPulse:
        w = m_pulse.period > 0 ? std::min(1.0, static_cast<double>(m_pulse.width) / m_pulse.period) : 0.0;
        break;
    default:
        break;
    }
    return m_load * (m_lowVolts + m_ampVolts * w);
}

double Generator::periodPs() const {
    if (m_load <= 0.0 || m_ampVolts <= 0.0) return 0.0;
    const double modPeriod = m_source == kInternal && periodicShape(m_modShape) && m_modulator.word() != 0
                                 ? kSynthesisPs * kTwo48 / static_cast<double>(m_modulator.word())
                                 : 0.0;
    switch (m_function) {
    case kPlain:
        if (!periodicShape(m_shape) || m_carrier.word() == 0) return 0.0;
        // The accumulator wraps after 2^48 / word synthesis clocks.
        return kSynthesisPs * kTwo48 / static_cast<double>(m_carrier.word());
    case kPulse:
        return m_pulse.width > 0 && m_pulse.width < m_pulse.period ? static_cast<double>(m_pulse.period)
                                                                   : 0.0;
    case kAm:
    case kSum:
        // With a constant carrier the output is the modulating signal itself.
        return constantCarrier() ? modPeriod : 0.0;
    default:
        return 0.0;
    }
}

Picoseconds Generator::stableUntil(Picoseconds t) const {
    if (m_load <= 0.0 || m_ampVolts <= 0.0) return kForever;
    switch (m_function) {
    case kPlain:
    case kSweep:
    case kFm:
    case kPm:
        return constantCarrier() ? kForever : t;
    case kAm:
    case kSum:
        return constantCarrier() ? modulatingStableUntil(t) : t;
    case kAwg:
        return m_awg.nextChange(t);
    default:
        return m_pulse.nextEdge(t);
    }
}

double Generator::maxSlope() const {
    if (m_load <= 0.0 || m_ampVolts <= 0.0) return 0.0;
    double hertz = 0.0;
    switch (m_function) {
    case kPlain:
        hertz = m_carrier.hertz();
        break;
    case kSweep:
        hertz = hertzOf(m_sweep.topWord());
        break;
    case kFm:
        hertz = m_carrier.hertz() + std::abs(m_fmHertz) * modulatingPeak();
        break;
    default:
        return kInfinity;
    }
    // A little margin over the steepest point of the shape.
    switch (m_shape) {
    case 0:
        return m_load * m_ampVolts * kPi * hertz * 1.01;
    case 4:
        return m_load * 2.0 * m_ampVolts * hertz * 1.01;
    case 5:
    case 6:
        return 0.0;
    default:
        return kInfinity;
    }
}

double Generator::MarkSignal::volts(Picoseconds t) const {
    return m_g.m_awg.at(t).mark ? kLogicHigh : 0.0;
}

Picoseconds Generator::MarkSignal::stableUntil(Picoseconds t) const {
    return m_g.m_awg.nextChange(t);
}

} // namespace kx::sim
