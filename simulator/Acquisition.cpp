// SPDX-License-Identifier: GPL-3.0-or-later
#include "Acquisition.h"

#include "Factory.h"
#include "Instrument.h"
#include "Packet.h"

#include <algorithm>
#include <cmath>

namespace kx::sim {

namespace {

constexpr std::size_t kMaxEntries = 4 * 40000;
// Sub-samples taken inside one peak-detect or averaging interval.
constexpr int kSubSamples = 16;
// Trigger-search effort per call, so a signal that never triggers cannot stall the link.
constexpr int kSearchBudget = 1 << 18;
constexpr Picoseconds kSearchAheadPs = 100'000'000'000; // 100 ms
constexpr long kMeasureBudget = 1 << 20;
// The four sample clocks of an equivalent-time record: 200 MHz, x35/36, x29/31, x29/32.
constexpr double kEtsPeriod[4] = {5000.0, 5000.0 * 36.0 / 35.0, 5000.0 * 31.0 / 29.0, 5000.0 * 32.0 / 29.0};

const Level kGround{0.0};

std::uint8_t clampCode(double code, bool& overdrive) {
    if (code < -0.5 || code > 255.5) overdrive = true;
    return static_cast<std::uint8_t>(std::clamp(std::lround(code), 0l, 255l));
}

// Calls f at the instants of one peak-detect interval [t, end) that can hold its extremes: every
// change of a piecewise-constant input, even steps elsewhere, and the interval's last ADC sample.
template <typename F>
void visitInterval(const Signal& signal, Picoseconds t, Picoseconds end, double step, F&& f) {
    constexpr int kMaxVisits = 64;
    const auto stepPs = std::max<Picoseconds>(1, static_cast<Picoseconds>(step));
    Picoseconds tau = t;
    for (int n = 0; tau < end && n < kMaxVisits; ++n) {
        f(tau);
        const Picoseconds stable = signal.stableUntil(tau);
        tau = stable > tau ? stable : tau + stepPs;
    }
    if (end - 5000 > t) f(end - 5000);
}

std::size_t blockABytes(unsigned mask, std::size_t n) {
    std::size_t a = 0;
    if (mask & 0x01) a += n;
    if (mask & 0x02) a += n;
    if (!(mask & 0x10)) {
        if (mask & 0x04) a += n / 4;
        if (mask & 0x08) a += n / 4;
    }
    if (mask & 0x20) a *= 4;
    return a;
}

std::size_t blockBBytes(unsigned mask, std::size_t n) {
    std::size_t b = 0;
    if (mask & 0x10) {
        if (mask & 0x04) b += 2 * n;
        if (mask & 0x08) b += 2 * n;
    }
    return b;
}

} // namespace

Acquisition::Acquisition(const Factory& factory, std::uint64_t seed) : m_factory(factory), m_seed(seed) {
    for (auto& a : m_analog) a.assign(kMaxEntries, 0);
    for (auto& d : m_digital) d.assign(kMaxEntries, 0);
}

void Acquisition::reset() {
    m_running = false;
    m_phase = Phase::Idle;
    m_regs.fill(0);
    m_counter.reset();
    m_bench.generatorOutput().reset();
}

void Acquisition::awgWritten(const Memory& memory, std::int64_t nowNs) {
    m_bench.generatorOutput().programWritten(memory.awg, nowNs * kPsPerNs);
}

void Acquisition::configure(const RegisterFile& r, std::int64_t nowNs) {
    m_regs = r;
    m_running = (r[reg::kRunFlags] & 0x01) != 0;
    m_roll = (r[reg::kRunFlags] & 0x04) != 0;
    const unsigned trig = r[reg::kTriggerFlags];
    m_source = static_cast<int>(trig & 0x07);
    if (m_source > 5) m_source = 0;
    m_edgeDown = (trig & 0x10) != 0;
    m_auto = (trig & 0x20) != 0;
    m_triggerActive = (r[reg::kChannelFlags] & 0x80) != 0 && !m_roll;

    Layout l;
    l.mask = r[reg::kChannelMask] & 0x3F;
    l.decimation = std::max<std::uint32_t>(1, regU32(r, reg::kDecimation));
    l.fast = (l.mask & 0x10) != 0;
    l.records = (l.mask & 0x20) ? 4 : 1;
    l.pairs = ((l.mask & 0x04) ? 1 : 0) + ((l.mask & 0x08) ? 1 : 0);
    l.average = (trig & 0x40) != 0 && r[reg::kHiResExponent] >= 1;
    l.peak = (trig & 0x80) != 0 && !l.average;
    std::size_t pre = regU16(r, reg::kPreTrigger);
    std::size_t total = pre + regU16(r, reg::kPostTrigger);
    // Never more than the capture memory and the packet blocks hold.
    total = std::min<std::size_t>(total, 40000);
    while (total > 0 && (blockABytes(l.mask, total) > kMaxBlockA || blockBBytes(l.mask, total) > kMaxBlockB))
        --total;
    pre = std::min(pre, total);
    l.samples = total;
    l.pre = pre;
    const bool pairs = l.peak || l.average;
    l.slots = pairs ? total / 2 : total;
    l.triggerSlot = std::min(pairs ? pre / 2 : pre, l.slots > 0 ? l.slots - 1 : 0);
    l.dtPs = static_cast<double>(l.decimation) * 5000.0;
    m_layout = l;

    const std::size_t lowReg = m_source == 1 ? reg::kA2LevelLow : reg::kA1LevelLow;
    m_lower = r[lowReg];
    m_upper = r[lowReg + 1];
    const double perCode = 3.3 / (0.25 * 65536.0);
    const double d123 = regU16(r, reg::kD123Threshold) * perCode;
    m_thresholdVolts[0] = m_thresholdVolts[1] = m_thresholdVolts[2] = d123;
    m_thresholdVolts[3] = regU16(r, reg::kD4Threshold) * perCode;

    // A sweep steps once per sample clock over the samples after the trigger.
    const SweepClock sweep{static_cast<Picoseconds>(l.dtPs),
                           static_cast<std::int64_t>(pairs ? (total - pre) / 2 : total - pre)};
    m_bench.generatorOutput().configure(r, m_factory, nowNs * kPsPerNs, sweep);
    const SupplyState supply{supplyRaw(), m_tableSupply};
    m_frontEnd[0].configure(r, m_factory, m_model, 0, m_bench.analog(0), m_bench.noise(), m_seed, supply);
    const Signal* a2 = &m_bench.analog(1);
    if (!(m_model & 0x02)) {
        a2 = (m_model & 0x01) ? static_cast<const Signal*>(&m_bench.generator()) : &kGround;
    } else if (r[reg::kA2FrontEnd] & 0x80) {
        a2 = &m_bench.generator();
    }
    m_frontEnd[1].configure(r, m_factory, m_model, 1, *a2, m_bench.noise(), m_seed, supply);
    GeneratorInputs inputs;
    for (int ch = 0; ch < 2; ++ch) inputs.analog[ch] = &m_frontEnd[ch];
    for (int ch = 0; ch < 4; ++ch) {
        inputs.digital[ch] = &m_bench.digital(ch);
        inputs.threshold[ch] = m_thresholdVolts[ch];
    }
    m_bench.generatorOutput().connect(inputs);

    m_condition = TriggerCondition::decode(r, m_source < 2);
    for (int ch = 0; ch < 6; ++ch)
        m_condition.gate.inputs[static_cast<std::size_t>(ch)] = comparator(ch, false);
    m_condition.gate.mask &= ~(1u << m_source);
    m_triggerInput = comparator(m_source, m_edgeDown);
    m_triggerInput.window = m_condition.window();
    configureCounter(nowNs);

    m_rollStartPs = nowNs * kPsPerNs;
    plan(nowNs);
}

double Acquisition::supplyRaw() const {
    // 50 uV of supply per mV of noise amplitude: 150 mV at amplitude 3000.
    constexpr double kLoadRawPerAmpCode = 0.5;
    const bool noiseOut = (m_regs[reg::kGenShape] & 0x07) == 7;
    const double load = noiseOut ? kLoadRawPerAmpCode * regU16(m_regs, reg::kGenAmp) : 0.0;
    return m_supplyMv * 65536.0 / 6600.0 - load;
}

ComparatorInput Acquisition::comparator(int source, bool falling) const {
    ComparatorInput in;
    in.falling = falling;
    if (source < 2) {
        in.analog = &m_frontEnd[source];
        const std::size_t low = source == 1 ? reg::kA2LevelLow : reg::kA1LevelLow;
        in.lower = m_regs[low];
        in.upper = m_regs[low + 1];
    } else {
        in.logic = &m_bench.digital(source - 2);
        in.thresholdVolts = m_thresholdVolts[source - 2];
    }
    return in;
}

void Acquisition::configureCounter(std::int64_t nowNs) {
    const std::uint8_t fm = m_regs[reg::kFreqMeter];
    const unsigned code = fm & 0x0F;
    CounterSource source;
    if (code >= 1 && code <= 12) {
        // Codes 7..12 take the same six inputs through the trigger path: its polarity and condition.
        const bool throughTrigger = code >= 7;
        source.present = true;
        source.input =
            comparator(static_cast<int>(throughTrigger ? code - 7 : code - 1), throughTrigger && m_edgeDown);
        if (throughTrigger) {
            source.condition = m_condition;
            source.input.window = m_condition.window();
        }
    }
    // The 200 MHz time base runs off the reference oscillator at its tuning code.
    const double tuning = regU16(m_regs, reg::kRefOsc);
    const double pos = std::clamp((tuning - 0x4000) / 0x2000, 0.0, 4.0);
    const int k = std::min(3, static_cast<int>(pos));
    const double ppm = (m_factory.oscillatorPpm[k] +
                        (pos - k) * (m_factory.oscillatorPpm[k + 1] - m_factory.oscillatorPpm[k])) /
                       100.0;
    m_counter.configure(fm, source, ppm, nowNs);
}

void Acquisition::plan(std::int64_t nowNs) {
    m_conditionStarted = false;
    m_measured = kUnmeasured;
    m_conditionCount = 0;
    m_conditionStatus = 0;
    m_videoStandard = VideoStandard::None;
    if (!m_running || m_layout.samples == 0) {
        m_phase = Phase::Idle;
        return;
    }
    if (m_roll) {
        m_phase = Phase::Planned;
        return;
    }
    m_record = 0;
    m_triggerFound = true;
    m_armPs = nowNs * kPsPerNs;
    m_searchPs = m_armPs + static_cast<Picoseconds>(std::llround(m_layout.triggerSlot * m_layout.dtPs));
    m_deadlinePs = m_searchPs + kAutoTimeoutNs * kPsPerNs;
    m_searchArmed = false;
    m_phase = Phase::Searching;
    m_resumeNs = nowNs;
}

double Acquisition::sourceValue(Picoseconds t) const {
    if (m_source < 2) return std::round(std::clamp(m_frontEnd[m_source].idealCode(t), 0.0, 255.0));
    return digitalLevel(m_source - 2, t) ? 1.0 : 0.0;
}

bool Acquisition::digitalLevel(int channel, Picoseconds t) const {
    return m_bench.digital(channel).volts(t) > m_thresholdVolts[channel];
}

Picoseconds Acquisition::slotTime(int record, std::size_t slot) const {
    const double dt = m_layout.records > 1 ? kEtsPeriod[record] * m_layout.decimation : m_layout.dtPs;
    return m_t0[static_cast<std::size_t>(record)] +
           static_cast<Picoseconds>(std::llround(static_cast<double>(slot) * dt));
}

void Acquisition::search(std::int64_t nowNs) {
    const Picoseconds limit = nowNs * kPsPerNs + kSearchAheadPs;
    int budget = kSearchBudget;
    while (m_phase == Phase::Searching) {
        const double dt = m_layout.records > 1 ? kEtsPeriod[m_record] * m_layout.decimation : m_layout.dtPs;
        const auto dtPs = std::max<Picoseconds>(1, static_cast<Picoseconds>(std::llround(dt)));
        const auto preSpan = static_cast<Picoseconds>(std::llround(m_layout.triggerSlot * dt));
        bool done = false;
        if (!m_triggerActive) {
            m_t0[static_cast<std::size_t>(m_record)] = m_armPs;
            m_triggerFound = false;
            done = true;
        } else if (!m_condition.plainEdge()) {
            if (!searchCondition(limit, dtPs, preSpan, budget)) return;
            done = true;
        }
        while (!done) {
            if (m_auto && m_searchPs >= m_deadlinePs) {
                m_t0[static_cast<std::size_t>(m_record)] = m_searchPs - preSpan;
                m_triggerFound = false;
                done = true;
                break;
            }
            if (budget-- <= 0 || m_searchPs > limit) {
                m_resumeNs = m_searchPs / kPsPerNs;
                return;
            }
            const double v = sourceValue(m_searchPs);
            const bool digital = m_source >= 2;
            const double lower = digital ? 0.5 : m_lower;
            const double upper = digital ? 0.5 : m_upper;
            const bool beyond = m_edgeDown ? v < lower : v > upper;
            if (m_searchArmed && beyond) {
                // The slot before this one is the last on the near side of the threshold.
                m_t0[static_cast<std::size_t>(m_record)] = m_searchPs - dtPs - preSpan;
                if (m_record == 0) m_measured = measureAt(m_searchPs);
                done = true;
                break;
            }
            if (m_edgeDown ? v >= upper : v <= lower) m_searchArmed = true;
            // Jump quiet stretches, but never past the auto time-out or the search horizon.
            const Picoseconds bound =
                std::max<Picoseconds>(0, (m_auto ? std::min(m_deadlinePs, limit) : limit) - m_searchPs);
            m_searchPs += dtPs + std::min(skip(m_searchPs, dtPs, v, lower, upper), bound / dtPs * dtPs);
        }
        // The trigger restarts the generator's sweep (the first sample beyond the threshold).
        m_bench.generatorOutput().restartSweep(slotTime(m_record, m_layout.triggerSlot) +
                                               (m_triggerActive ? dtPs : 0));
        // Next sub-record (equivalent time) or the capture is complete.
        const Picoseconds end = slotTime(m_record, m_layout.slots);
        if (++m_record >= m_layout.records) {
            m_phase = Phase::Planned;
            return;
        }
        m_armPs = end;
        m_searchPs = end + static_cast<Picoseconds>(std::llround(m_layout.triggerSlot * kEtsPeriod[m_record] *
                                                                 m_layout.decimation));
        m_deadlinePs = m_searchPs + kAutoTimeoutNs * kPsPerNs;
        m_searchArmed = false;
        m_conditionStarted = false;
    }
}

bool Acquisition::searchCondition(Picoseconds limit, Picoseconds dtPs, Picoseconds preSpan, int& budget) {
    const auto record = static_cast<std::size_t>(m_record);
    if (!m_conditionStarted) {
        // Start early enough to see the edge that opens the interval ending at the first edge after
        // arming; an interval longer than that is known only to exceed the upper limit.
        m_conditionScan.start(m_triggerInput,
                              std::max<Picoseconds>(0, m_searchPs - m_condition.lookbackPs()));
        m_conditionTracker.begin(m_condition, m_edgeDown);
        m_conditionStarted = true;
    }
    long left = budget;
    const Picoseconds bound = m_auto ? std::min(m_deadlinePs, limit) : limit;
    Edge e;
    for (;;) {
        const EdgeScanner::Step step = m_conditionScan.next(bound, e, left);
        if (step == EdgeScanner::Step::Edge) {
            if (!m_conditionTracker.feed(e) || e.t < m_searchPs) continue;
            // The sample before the trigger slot is the last one on the near side of the edge.
            m_t0[record] = e.t - dtPs - preSpan;
            if (m_record == 0) {
                const auto ticks = m_conditionTracker.measured();
                m_measured =
                    ticks && *ticks < kUnmeasured ? static_cast<std::uint32_t>(*ticks) : measureAt(e.t);
                m_conditionCount = m_conditionTracker.count();
                m_conditionStatus = m_conditionTracker.status();
                m_videoStandard = m_conditionTracker.standard();
            }
            break;
        }
        if (step == EdgeScanner::Step::Limit && m_auto && m_conditionScan.position() >= m_deadlinePs) {
            m_t0[record] = m_deadlinePs - preSpan;
            m_triggerFound = false;
            if (m_record == 0) m_videoStandard = m_conditionTracker.standard();
            break;
        }
        // Out of effort, or at the horizon: go on when the instrument clock gets there.
        m_resumeNs = std::min(m_conditionScan.position(), limit) / kPsPerNs;
        budget = 0;
        return false;
    }
    budget = static_cast<int>(std::max<long>(0, left));
    return true;
}

std::uint32_t Acquisition::measureAt(Picoseconds te) const {
    using Measure = TriggerCondition::Measure;
    if (m_condition.measure == Measure::NotApplicable) return 0;
    if (m_condition.measure != Measure::PulseWidth && m_condition.measure != Measure::Period &&
        m_condition.measure != Measure::Slew)
        return kUnmeasured;
    const Signal* signal = m_triggerInput.signal();
    if (signal == nullptr) return kUnmeasured;
    // Two periods hold the interval and the edge that opens it; a signal that does not repeat gets a second.
    const double period = signal->periodPs();
    const Picoseconds window = period > 0.0 && period < 1e12
                                   ? static_cast<Picoseconds>(std::ceil(2.0 * period)) + 2 * kClockPs
                                   : kPsPerSecond;
    EdgeScanner scan;
    scan.start(m_triggerInput, std::max<Picoseconds>(0, te - window));
    TriggerCondition untimed = m_condition;
    untimed.timed = false;
    ConditionTracker tracker;
    tracker.begin(untimed, m_edgeDown);
    long budget = kMeasureBudget;
    std::optional<std::uint64_t> ticks;
    Edge e;
    while (scan.next(te + kClockPs, e, budget) == EdgeScanner::Step::Edge)
        if (tracker.feed(e)) ticks = tracker.measured();
    return ticks && *ticks < kUnmeasured ? static_cast<std::uint32_t>(*ticks) : kUnmeasured;
}

Picoseconds Acquisition::skip(Picoseconds t, Picoseconds dtPs, double v, double lower, double upper) const {
    const Signal* signal = m_source < 2 ? m_frontEnd[m_source].input() : &m_bench.digital(m_source - 2);
    if (signal == nullptr) return 0;
    // Quiet stretch: every grid point before it reads the same, so the trigger state cannot change.
    const Picoseconds stable = signal->stableUntil(t);
    if (stable > t + dtPs) return (stable - 1 - t) / dtPs * dtPs - dtPs;
    // Bounded slope: the signal needs a while to reach the next threshold that matters (a logic
    // input's one threshold, in volts).
    const bool logic = m_source >= 2;
    const double slope = signal->maxSlope() * (logic ? 1.0 : m_frontEnd[m_source].codesPerVolt());
    if (!std::isfinite(slope) || slope <= 0.0) return 0;
    const bool rising = !m_edgeDown;
    const double target = m_searchArmed ? (rising ? upper : lower) : (rising ? lower : upper);
    const double distance =
        logic ? std::abs(signal->volts(t) - m_thresholdVolts[m_source - 2]) : std::abs(v - target) - 1.5;
    if (distance <= 0.0) return 0;
    const double samples = distance / (slope * static_cast<double>(dtPs) * 1e-12);
    if (samples < 3.0) return 0;
    return static_cast<Picoseconds>(samples - 2.0) * dtPs;
}

std::int64_t Acquisition::dueNs() const {
    const std::int64_t minPeriodNs = static_cast<std::int64_t>(m_regs[reg::kMinFramePeriod]) * 1'000'000;
    std::int64_t ready = 0;
    if (m_roll) {
        ready = m_lastSentNs + std::max(kRollPeriodNs, minPeriodNs);
    } else {
        ready = slotTime(m_layout.records - 1, m_layout.slots) / kPsPerNs + 1;
    }
    return std::max(ready, m_lastSentNs + minPeriodNs);
}

std::int64_t Acquisition::nextDue() const {
    switch (m_phase) {
    case Phase::Searching:
        return m_resumeNs;
    case Phase::Planned:
        return dueNs();
    default:
        return kNever;
    }
}

bool Acquisition::build(std::int64_t nowNs, std::vector<std::uint8_t>& out) {
    if (m_phase == Phase::Searching) search(nowNs);
    if (m_phase != Phase::Planned || dueNs() > nowNs) return false;
    generate(out, nowNs);
    m_lastSentNs = nowNs;
    plan(nowNs);
    return true;
}

void Acquisition::fillAnalog(int channel, int record, std::uint8_t* dest, bool& overdrive) {
    const Layout& l = m_layout;
    const FrontEnd& fe = m_frontEnd[channel];
    const double dt = (l.records > 1 ? kEtsPeriod[record] * l.decimation : l.dtPs);
    if (!l.peak && !l.average) {
        // One sample per slot; the bandwidth limit runs as a first-order filter over the record.
        const double tau = fe.bandwidthTau();
        const double alpha = tau > 0.0 ? 1.0 - std::exp(-dt * 1e-12 / tau) : 1.0;
        double state = fe.code(slotTime(record, 0), 1);
        for (std::size_t i = 0; i < l.samples; ++i) {
            const double c = fe.code(slotTime(record, i), (i & 1) ? 0 : 1);
            state += alpha * (c - state);
            dest[i] = clampCode(state, overdrive);
        }
        return;
    }
    const int m = static_cast<int>(std::min<std::uint32_t>(l.decimation, kSubSamples));
    const double step = dt / m;
    const double averagedNoise = fe.noiseCodes() / std::sqrt(static_cast<double>(l.decimation));
    for (std::size_t s = 0; s < l.slots; ++s) {
        const Picoseconds t = slotTime(record, s);
        if (l.average) {
            double sum = 0.0;
            for (int k = 0; k < m; ++k) sum += fe.idealCode(t + static_cast<Picoseconds>(k * step));
            double mean = sum / m;
            if (averagedNoise > 0.0)
                mean += averagedNoise * hashedGaussian(m_seed ^ 0xA5A5u, static_cast<std::uint64_t>(t));
            if (mean < -0.5 || mean > 255.5) overdrive = true;
            const long v16 = std::clamp(std::lround(mean * 256.0), 0l, 65535l);
            dest[2 * s] = static_cast<std::uint8_t>(v16 >> 8);
            dest[2 * s + 1] = static_cast<std::uint8_t>(v16 & 0xFF);
        } else {
            double lo = 1e9;
            double hi = -1e9;
            int k = 0;
            visitInterval(*fe.input(), t, slotTime(record, s + 1), step, [&](Picoseconds at) {
                const double c = fe.code(at, (k++) & 1);
                lo = std::min(lo, c);
                hi = std::max(hi, c);
            });
            dest[2 * s] = clampCode(lo, overdrive);
            dest[2 * s + 1] = clampCode(hi, overdrive);
        }
    }
    if (l.samples & 1) dest[l.samples - 1] = dest[l.samples >= 2 ? l.samples - 2 : 0];
}

void Acquisition::fillDigital(int record) {
    const Layout& l = m_layout;
    const double dt = (l.records > 1 ? kEtsPeriod[record] * l.decimation : l.dtPs);
    const std::size_t base = static_cast<std::size_t>(record) * l.samples;
    for (int ch = 0; ch < 4; ++ch) {
        if (!(l.mask & (ch < 2 ? 0x04u : 0x08u))) continue;
        std::uint8_t* dest = m_digital[ch].data() + base;
        if (!l.peak && !l.average) {
            for (std::size_t i = 0; i < l.samples; ++i)
                dest[i] = digitalLevel(ch, slotTime(record, i)) ? 1 : 0;
            continue;
        }
        const int m = static_cast<int>(std::min<std::uint32_t>(l.decimation, kSubSamples));
        const double step = dt / m;
        for (std::size_t s = 0; s < l.slots; ++s) {
            const Picoseconds t = slotTime(record, s);
            bool all = true;
            bool any = false;
            visitInterval(m_bench.digital(ch), t, slotTime(record, s + 1), step, [&](Picoseconds at) {
                const bool v = digitalLevel(ch, at);
                all = all && v;
                any = any || v;
            });
            dest[2 * s] = all ? 1 : 0;
            dest[2 * s + 1] = any ? 1 : 0;
        }
        if (l.samples & 1) dest[l.samples - 1] = dest[l.samples >= 2 ? l.samples - 2 : 0];
    }
}

void Acquisition::generate(std::vector<std::uint8_t>& out, std::int64_t nowNs) {
    const Layout& l = m_layout;
    bool overdrive[2] = {false, false};
    std::uint8_t frameStatus = 0;
    std::uint32_t rollIndex = 0;

    if (m_roll) {
        // The ring holds the newest T entries; position p carries the latest entry n with n = p mod T.
        const std::int64_t slotsDone =
            std::max<std::int64_t>(0, static_cast<std::int64_t>((nowNs * kPsPerNs - m_rollStartPs) / l.dtPs));
        const std::int64_t per = (l.peak || l.average) ? 2 : 1;
        const std::int64_t written = slotsDone * per;
        const auto total = static_cast<std::int64_t>(l.samples);
        rollIndex = static_cast<std::uint32_t>(written % total);
        if (written > 0) frameStatus |= 0x01;
        if (written >= total) frameStatus |= 0x02;
        // Render the ring as one record whose slot 0 is the oldest entry, then rotate into place.
        const std::int64_t firstEntry = std::max<std::int64_t>(0, written - total);
        m_t0[0] = m_rollStartPs +
                  static_cast<Picoseconds>(std::llround(static_cast<double>(firstEntry / per) * l.dtPs));
        const auto valid = static_cast<std::size_t>(std::min(written, total));
        if (analyzerFrame()) {
            // The sweep restarts every record, so position p always holds sweep point p.
            fillAnalyzer(valid / 2, overdrive[0]);
        } else {
            for (int ch = 0; ch < 2; ++ch)
                if (l.mask & (1u << ch)) fillAnalog(ch, 0, m_analog[ch].data(), overdrive[ch]);
            fillDigital(0);
        }
        const auto shift = analyzerFrame() ? 0 : static_cast<std::size_t>(firstEntry % total);
        auto place = [&](std::vector<std::uint8_t>& v, std::uint8_t blank) {
            std::rotate(v.begin(), v.begin() + static_cast<long>(l.samples - shift),
                        v.begin() + static_cast<long>(l.samples));
            if (valid < l.samples)
                for (std::size_t p = valid; p < l.samples; ++p) v[p] = blank;
        };
        for (int ch = 0; ch < 2; ++ch)
            if (l.mask & (1u << ch)) place(m_analog[ch], 128);
        for (auto& d : m_digital) place(d, 0);
        frameStatus |= 0x04;
    } else if (analyzerFrame()) {
        fillAnalyzer(l.slots, overdrive[0]);
        if (!m_triggerFound) frameStatus |= 0x04;
    } else {
        for (int r = 0; r < l.records; ++r) {
            for (int ch = 0; ch < 2; ++ch)
                if (l.mask & (1u << ch))
                    fillAnalog(ch, r, m_analog[ch].data() + static_cast<std::size_t>(r) * l.samples,
                               overdrive[ch]);
            fillDigital(r);
        }
        if (!m_triggerFound) frameStatus |= 0x04;
    }
    if (overdrive[0]) frameStatus |= 0x20;
    if (overdrive[1]) frameStatus |= 0x40;

    PacketWriter w(out);
    w.begin(static_cast<std::uint8_t>(l.mask));
    // Block A: per sample time A1, A2, then a digital byte whenever eight bits are collected.
    int enabled[4];
    int nEnabled = 0;
    if (!l.fast) {
        if (l.mask & 0x04) enabled[nEnabled++] = 0, enabled[nEnabled++] = 1;
        if (l.mask & 0x08) enabled[nEnabled++] = 2, enabled[nEnabled++] = 3;
    }
    const std::size_t digitalLimit =
        l.fast ? 0 : static_cast<std::size_t>(l.pairs) * (l.samples / 4) * l.records;
    std::size_t digitalBytes = 0;
    const std::size_t entries = l.samples * static_cast<std::size_t>(l.records);
    unsigned acc = 0;
    int bits = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        if (l.mask & 0x01) w.byte(m_analog[0][i]);
        if (l.mask & 0x02) w.byte(m_analog[1][i]);
        for (int k = 0; k < nEnabled; ++k) {
            acc |= static_cast<unsigned>(m_digital[enabled[k]][i]) << bits;
            if (++bits == 8) {
                if (digitalBytes < digitalLimit) w.byte(static_cast<std::uint8_t>(acc));
                ++digitalBytes;
                acc = 0;
                bits = 0;
            }
        }
    }
    // Block B: eight fast samples per enabled digital channel and sample time.
    if (l.fast) {
        const double sub = l.dtPs / 8.0;
        for (std::size_t i = 0; i < l.samples; ++i) {
            const Picoseconds t = slotTime(0, i);
            for (int ch = 0; ch < 4; ++ch) {
                if (!(l.mask & (ch < 2 ? 0x04u : 0x08u))) continue;
                unsigned b = 0;
                for (int j = 0; j < 8; ++j)
                    if (digitalLevel(ch, t + static_cast<Picoseconds>(std::llround(j * sub)))) b |= 1u << j;
                w.byte(static_cast<std::uint8_t>(b));
            }
        }
    }

    // Information block: the register file as in force, with the instrument's own fields.
    const std::size_t infoStart = w.size();
    for (const std::uint8_t b : m_regs) w.byte(b);
    std::uint8_t* info = w.at(infoStart);
    // Additional-condition status and measurements of the event at the trigger point, times in
    // clocks (all ones when nothing was measured); the video standard whenever the sync was locked.
    const bool triggered = m_triggerFound && m_triggerActive && !m_roll;
    if (m_condition.measure == TriggerCondition::Measure::VideoLine && m_triggerActive && !m_roll) {
        if (m_videoStandard == VideoStandard::Pal) frameStatus |= 0x08;
        if (m_videoStandard == VideoStandard::Ntsc) frameStatus |= 0x10;
    }
    info[reg::kFrameStatus] = frameStatus;
    info[reg::kConditionFlags] = triggered ? m_conditionStatus : 0;
    const std::uint32_t count = triggered ? m_conditionCount : 0;
    info[reg::kConditionCount] = static_cast<std::uint8_t>(count);
    info[reg::kConditionCount + 1] = static_cast<std::uint8_t>(count >> 8);
    const std::uint32_t measured = triggered ? m_measured : kUnmeasured;
    for (int k = 0; k < 4; ++k)
        info[reg::kConditionTime + static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(measured >> (8 * k));
    info[reg::kPreTrigger] = static_cast<std::uint8_t>(l.pre);
    info[reg::kPreTrigger + 1] = static_cast<std::uint8_t>(l.pre >> 8);
    info[reg::kPostTrigger] = static_cast<std::uint8_t>(l.samples - l.pre);
    info[reg::kPostTrigger + 1] = static_cast<std::uint8_t>((l.samples - l.pre) >> 8);
    info[reg::kRollIndex] = static_cast<std::uint8_t>(rollIndex);
    info[reg::kRollIndex + 1] = static_cast<std::uint8_t>(rollIndex >> 8);
    std::uint8_t near = 0;
    std::uint8_t far = 0;
    const std::size_t ts = l.triggerSlot;
    if (m_source < 2) {
        const bool present =
            (l.mask & (1u << m_source)) && !l.peak && !l.average && ts + 1 < l.samples && !m_roll;
        if (present) {
            near = m_analog[m_source][ts];
            far = m_analog[m_source][ts + 1];
        } else {
            bool ignored = false;
            near = clampCode(m_frontEnd[m_source].idealCode(slotTime(0, ts)), ignored);
            far = clampCode(m_frontEnd[m_source].idealCode(slotTime(0, ts + 1)), ignored);
        }
    } else {
        unsigned bitsAround = 0;
        const Picoseconds t = slotTime(0, ts);
        for (int j = 0; j < 16; ++j)
            if (digitalLevel(m_source - 2, t + static_cast<Picoseconds>(std::llround(j * l.dtPs / 8.0))))
                bitsAround |= 1u << j;
        near = static_cast<std::uint8_t>(bitsAround & 0xFF);
        far = static_cast<std::uint8_t>(bitsAround >> 8);
    }
    info[reg::kTriggerNeighbourhood] = near;
    info[reg::kTriggerNeighbourhood + 1] = far;
    if (!analyzerFrame()) {
        const std::uint16_t phase = phaseWord(slotTime(0, 0));
        info[reg::kGenFreq + 4] = static_cast<std::uint8_t>(phase);
        info[reg::kGenFreq + 5] = static_cast<std::uint8_t>(phase >> 8);
    }
    info[reg::kDeviceType] = m_model;
    info[reg::kDeviceType + 1] = 0;
    w.end();
}

} // namespace kx::sim
