// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Bench.h"
#include "Comparator.h"
#include "FrequencyCounter.h"
#include "FrontEnd.h"
#include "Memory.h"
#include "TriggerCondition.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kx::sim {

struct Factory;

// The acquisition engine: turns the registers in force and the bench into data packets.
// Captures are planned on the instrument clock: arm, fill the pre-trigger part, search the
// trigger (or give up after the auto time-out), fill the post-trigger part, wait out the
// minimum frame period, send.
class Acquisition {
public:
    Acquisition(const Factory& factory, std::uint64_t seed);
    Bench& bench() { return m_bench; }
    void reseed(std::uint64_t seed) { m_seed = seed; }
    void setModel(std::uint8_t model) { m_model = model; }
    // The supply the instrument runs on and the one its zero table in flash was taken at (raw
    // 0.1 mV steps); they take effect with the next configuration.
    void setSupply(int supplyMv, double tableReference) {
        m_supplyMv = supplyMv;
        m_tableSupply = tableReference;
    }
    // The supply now, as the status packets report it (without their noise): a generator putting
    // out noise at full amplitude loads it.
    double supplyRaw() const;
    void reset();
    // A new register image is in force from nowNs.
    void configure(const RegisterFile& registers, std::int64_t nowNs);
    // The AWG memory was written at nowNs.
    void awgWritten(const Memory& memory, std::int64_t nowNs);
    // Time at which the engine next has work (a packet to send or a search to continue).
    std::int64_t nextDue() const;
    // Builds the data packet if one is due at nowNs (may only advance the trigger search).
    bool build(std::int64_t nowNs, std::vector<std::uint8_t>& out);
    // The frequency counter as it reads at nowNs.
    CounterReading counter(std::int64_t nowNs) { return m_counter.read(nowNs); }

    static constexpr std::int64_t kAutoTimeoutNs = 100'000'000;
    static constexpr std::int64_t kRollPeriodNs = 40'000'000;

private:
    // The condition time of a data packet when nothing was measured.
    static constexpr std::uint32_t kUnmeasured = 0xFFFFFFFFu;

    enum class Phase { Idle, Searching, Planned };
    struct Layout {
        unsigned mask = 0;
        std::size_t samples = 0; // T = PreTrigger + PostTrigger
        std::size_t pre = 0;
        std::size_t slots = 0; // sample instants per sub-record (T, or T/2 for pairs)
        std::size_t triggerSlot = 0;
        int records = 1;
        bool peak = false;
        bool average = false;
        bool fast = false;
        int pairs = 0;
        double dtPs = 5000.0;
        std::uint32_t decimation = 1;
    };

    void plan(std::int64_t nowNs);
    void search(std::int64_t nowNs);
    // Timed-condition search of the current record; false when it has to go on later.
    bool searchCondition(Picoseconds limit, Picoseconds dtPs, Picoseconds preSpan, int& budget);
    // Pulse width, period or slew time that ends at the trigger edge just before te, in clocks.
    std::uint32_t measureAt(Picoseconds te) const;
    ComparatorInput comparator(int source, bool falling) const;
    void configureCounter(std::int64_t nowNs);
    double sourceValue(Picoseconds t) const;
    // Grid time the search may jump over after reading v at t without a change of state.
    Picoseconds skip(Picoseconds t, Picoseconds dtPs, double v, double lower, double upper) const;
    Picoseconds slotTime(int record, std::size_t slot) const;
    void generate(std::vector<std::uint8_t>& out, std::int64_t nowNs);
    void fillAnalog(int channel, int record, std::uint8_t* dest, bool& overdrive);
    void fillDigital(int record);
    // Analyzer frames: the first validSlots sweep points as I/Q (A1, A2 and the logic inputs).
    bool analyzerFrame() const;
    void fillAnalyzer(std::size_t validSlots, bool& overdrive);
    // The generator's phase at a record's first sample, as the information block reports it.
    std::uint16_t phaseWord(Picoseconds firstSample) const;
    bool digitalLevel(int channel, Picoseconds t) const;
    std::int64_t dueNs() const;

    const Factory& m_factory;
    Bench m_bench;
    RegisterFile m_regs{};
    FrontEnd m_frontEnd[2];
    std::uint8_t m_model = 0x23;
    std::uint64_t m_seed = 1;
    int m_supplyMv = 5000;
    double m_tableSupply = 49648.0;
    Layout m_layout;
    bool m_running = false;
    bool m_roll = false;
    bool m_triggerActive = false;
    bool m_auto = false;
    bool m_edgeDown = false;
    int m_source = 0;
    int m_lower = 0;
    int m_upper = 255;
    double m_thresholdVolts[4] = {1.65, 1.65, 1.65, 1.65};

    Phase m_phase = Phase::Idle;
    Picoseconds m_armPs = 0;
    Picoseconds m_searchPs = 0;
    Picoseconds m_deadlinePs = 0;
    bool m_searchArmed = false;
    int m_record = 0;
    std::array<Picoseconds, 4> m_t0{};
    bool m_triggerFound = true;
    std::int64_t m_lastSentNs = -1'000'000'000;
    std::int64_t m_resumeNs = 0;
    Picoseconds m_rollStartPs = 0;

    TriggerCondition m_condition;
    ComparatorInput m_triggerInput;
    EdgeScanner m_conditionScan;
    ConditionTracker m_conditionTracker;
    bool m_conditionStarted = false;
    // What the condition reported at the trigger event of the capture in progress.
    std::uint32_t m_measured = kUnmeasured;
    std::uint32_t m_conditionCount = 0;
    std::uint8_t m_conditionStatus = 0;
    VideoStandard m_videoStandard = VideoStandard::None;
    FrequencyCounter m_counter;

    // Per-frame work areas, sized once for the largest frame.
    std::vector<std::uint8_t> m_analog[2];
    std::vector<std::uint8_t> m_digital[4];
};

} // namespace kx::sim
