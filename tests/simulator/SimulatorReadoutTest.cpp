// SPDX-License-Identifier: GPL-3.0-or-later
// The additional trigger conditions end to end: the program's apply-settings sets them up, the
// simulated instrument triggers, waveform assembly fills the condition words of the header, and
// the trigger-event label and the channel readouts show them.
#include "SimLink.h"

#include "acquisition/WaveformAssembly.h"
#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "core/ScopeTables.h"
#include "display/ReadoutTexts.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <regex>
#include <string>

using namespace kxtest;
namespace fh = kx::core::fh;

namespace {

constexpr int kTimeBase50us = 22; // 100 ns per sample at 5000 points
constexpr int kTimeBase5us = 25;

struct EndToEndCase {
    const char* name;
    const char* bench;
    std::function<void(kx::core::InstrumentState&)> setup;
    std::uint32_t kind;      // TPlusKind
    std::uint32_t value;     // TPlusValue, in 5 ns
    double tolerance;        // of the value
    std::uint32_t standard;  // VideoStandard
    std::uint32_t line;      // VideoLine
    const char* label;       // trigger-event label (a pattern)
    const char* measurement; // A1 readout at c6
};

class SimulatorReadouts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(d2xx().resolved, 24);
        ASSERT_EQ(d2xx().control("reset; pacing=off; seed=5; noise=off"), 0);
        m_host = std::make_unique<Host>();
        ASSERT_TRUE(m_host->opened());
        ASSERT_EQ(m_host->configure(), 0u);
        ASSERT_EQ(m_host->loadFpga(Host::image()), 0u);
        ASSERT_TRUE(m_host->waitStatus(2, 5).has_value());
    }
    void TearDown() override {
        m_host.reset();
        d2xx().control("reset");
    }

    // A1 with 0 V two divisions above the bottom, triggered with auto, the event label and the
    // measurements on; then the case's own settings.
    kx::core::InstrumentState settings(const EndToEndCase& c) const {
        kx::core::InstrumentState s;
        s.system.UiDeviceType = 0x23;
        s.scope.Running = true;
        s.scope.A1.Zero = 0x4000;
        s.scope.A2.shown = false;
        s.scope.timeBase = kTimeBase50us;
        s.trigger.On = true;
        s.trigger.Auto = true;
        s.trigger.TPLUS = true;
        s.display.Trig_T = true;
        s.display.Measure = true;
        c.setup(s);
        return s;
    }

    // Applies the settings, sends them as the program does, and assembles the first frame taken
    // under them.
    bool acquire(kx::core::InstrumentState& state) {
        m_derived = kx::app::applySettings(state, m_registers);
        std::array<std::uint8_t, kx::device::kMaxSettingsBodySize> body{};
        const std::size_t n = m_registers.takeSettingsBody(body);
        if (n == 0) return false;
        m_host->write(FrameBuilder::preamble());
        m_host->write(std::vector<std::uint8_t>(body.begin(), body.begin() + static_cast<long>(n)));
        const auto points = static_cast<std::size_t>(m_derived.Points);
        for (int i = 0; i < 400; ++i) {
            const auto p = m_host->waitData(400, points);
            if (!p) return false;
            if (!p->crcOk || p->body.size() < 160) continue;
            const std::size_t a = blockASize(p->header, points);
            const std::size_t b = blockBSize(p->header, points);
            const std::span<const std::uint8_t> all(p->body);
            if (all.size() != a + b + 160 || all[a + b + 35] != m_registers.sequence()) continue;
            const auto context = kx::app::assemblyContext(state, m_derived, m_registers.snapshot());
            return kx::acquisition::assembled(kx::acquisition::assembleFrame(
                all.subspan(a + b, 160), all.subspan(0, a), all.subspan(a, b), context, *m_work, *m_frame));
        }
        return false;
    }

    std::string readoutAt(const kx::core::InstrumentState& state, int column, int row) {
        kx::display::ScreenGeometry g;
        g.PlotLeft = 33;
        g.PlotTop = 29;
        g.PlotWidth = 500;
        g.PlotHeight = 256;
        g.PixelsPerDivX = 50;
        g.PixelsPerDivY = 32;
        const kx::display::ReadoutSources sources;
        const kx::display::ReadoutContext context{state, m_derived, m_frame->header, g, sources};
        kx::display::TextList list;
        kx::display::buildReadoutTexts(context, list);
        const int x = kx::display::readoutColumn(g, column);
        const int y = kx::display::readoutRow(g, row);
        for (const auto& t : list)
            if (t.x == x && t.y == y) return t.text;
        return "<none>";
    }

    std::unique_ptr<Host> m_host;
    kx::device::RegisterImageHolder m_registers;
    kx::app::DerivedQuantities m_derived;
    std::unique_ptr<kx::acquisition::AssemblyWorkspace> m_work =
        std::make_unique<kx::acquisition::AssemblyWorkspace>();
    std::unique_ptr<kx::core::FrameRecord> m_frame = std::make_unique<kx::core::FrameRecord>();
};

// Screen code of a voltage on A1 at 1 V/div (0.2 V/div) with the zero at 0x4000.
constexpr double atVolts(double v, double perDiv = 1.0) {
    return 0x4000 + v / perDiv * 8192.0;
}

TEST_F(SimulatorReadouts, ConditionWordsReachTheLabelAndTheReadouts) {
    using namespace kx::core;
    const EndToEndCase cases[] = {
        {"runt", "a1=runt:10000:2:1",
         [](InstrumentState& s) {
             // Thresholds 0.5 V and 1.5 V around 1 V: the 1 V runt lies between them.
             s.trigger.Mode = kTrigModeRunt;
             s.trigger.Lev_A1 = atVolts(1.0);
             s.trigger.Hyst = 4;
         },
         3, 10000, 2, 0, 0, R"(RUNT (49\.99\d|50\.00\d|50\.01\d) uS)", R"(Vrms = .*)"},
        {"slow edge", "a1=slew:20000:2:100:2000",
         [](InstrumentState& s) {
             // Between 0.5 us and 1.5 us: the 2 us edge spends 1 us between 0.5 V and 1.5 V.
             s.scope.timeBase = kTimeBase5us;
             s.trigger.Mode = kTrigModeSlew;
             s.trigger.Lev_A1 = atVolts(1.0);
             s.trigger.Hyst = 4;
             s.trigger.T_Mode = kTimeModeInside;
             s.trigger.Tmult = 0;
             s.trigger.Tmin = 100;
             s.trigger.Tmax = 300;
         },
         4, 200, 1, 0, 0, R"(SLEW (995\.0+ nS|1\.00[05][ 0]* uS))", R"(Vrms = .*)"},
        {"third pulse of a burst", "a1=burst:5:100000:1",
         [](InstrumentState& s) {
             // A gap between 100 us and 2 ms opens the count.
             s.trigger.Mode = kTrigModePulseNTime;
             s.trigger.Lev_A1 = atVolts(1.0);
             s.trigger.T_Mode = kTimeModeInside;
             s.trigger.Tmult = 3;
             s.trigger.Tmin = 20;
             s.trigger.Tmax = 400;
             s.trigger.Extra_N = 3;
         },
         1, 201000, 2, 3, 3, R"(PUL 1\.005 000 mS)", "N = 3"},
        {"PAL line 100", "a1=video:pal",
         [](InstrumentState& s) {
             // 0.2 V/div; the level between sync tip and blanking, falling (the video button).
             s.scope.A1.voltsDiv = kVoltsDiv02V;
             s.trigger.Mode = kTrigModeVideo;
             s.trigger.Edge = true;
             s.trigger.Hyst = 1;
             s.trigger.Lev_A1 = atVolts(-0.15, 0.2);
             s.trigger.Extra_N = 100;
         },
         2, 12800, 1, 1, 100, R"(PER 64\.000 uS)", "PAL/SECAM 100"},
        {"NTSC line 600", "a1=video:ntsc",
         [](InstrumentState& s) {
             s.scope.A1.voltsDiv = kVoltsDiv02V;
             s.trigger.Mode = kTrigModeVideo;
             s.trigger.Edge = true;
             s.trigger.Hyst = 1;
             s.trigger.Lev_A1 = atVolts(-0.15, 0.2);
             s.trigger.Extra_N = 600;
         },
         2, 12711, 1, 2, 75, R"(PER 63\.5(55|60) uS)", "NTSC 75"},
        {"video without T+", "a1=video:pal",
         [](InstrumentState& s) {
             // The plain falling edge: the period of the sync edges, no standard, no line.
             s.scope.A1.voltsDiv = kVoltsDiv02V;
             s.trigger.TPLUS = false;
             s.trigger.Mode = kTrigModeVideo;
             s.trigger.Edge = true;
             s.trigger.Hyst = 1;
             s.trigger.Lev_A1 = atVolts(-0.15, 0.2);
             s.trigger.Extra_N = 100;
         },
         2, 0, 0, 0, 0, R"(PER .*)", R"(Vrms = .*)"},
    };
    for (const EndToEndCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(d2xx().control(c.bench), 0);
        kx::core::InstrumentState state = settings(c);
        ASSERT_TRUE(acquire(state));
        const auto& h = m_frame->header;
        ASSERT_EQ(h[fh::TriggerSource], 1u) << "triggered on A1";
        EXPECT_EQ(h[fh::TPlusKind], c.kind);
        if (c.value != 0) {
            EXPECT_NEAR(h[fh::TPlusValue], c.value, c.tolerance);
        }
        EXPECT_EQ(h[fh::VideoStandard], c.standard);
        EXPECT_EQ(h[fh::VideoLine], c.line);
        const std::string label = kx::display::triggerEventText(h);
        EXPECT_TRUE(std::regex_match(label, std::regex(c.label))) << label;
        const std::string measurement = readoutAt(state, 6, 3);
        EXPECT_TRUE(std::regex_match(measurement, std::regex(c.measurement))) << measurement;
    }
}

} // namespace
