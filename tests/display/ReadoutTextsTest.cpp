// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/ReadoutTexts.h"
#include "display/OverlayTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace kx::display;
namespace fh = kx::core::fh;
using kx::core::CursorMode;
using kx::core::FreqMeterMode;

namespace {

// Design-size screen: plot 500 x 256 at (33, 29), 50 pixels per division. Rows: status 7, then
// 293, 311, 329, 347. Columns c0..c9: 33, 95, 145, 158, 183, 220, 283, 320, 345, 408.
constexpr std::array<int, 10> kCol{33, 95, 145, 158, 183, 220, 283, 320, 345, 408};
constexpr std::array<int, 5> kRow{7, 293, 311, 329, 347};

class ReadoutTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        geometry.PlotLeft = 33;
        geometry.PlotTop = 29;
        geometry.PlotWidth = 500;
        geometry.PlotHeight = 256;
        geometry.PixelsPerDivX = 50;
        geometry.PixelsPerDivY = 32;

        h.set64(fh::SamplePeriodPs, 5000);
        h[fh::ChannelMask] = 0x03; // both analog channels in the frame
        h.set64(fh::DigitalPeriodPs, 5000);
        h[fh::ScaleA1] = 1'000'000;
        h[fh::ScaleA2] = 1'000'000;
        h[fh::CaptureLength] = 500;
        h[fh::PreTrigger] = 250;
        h[fh::AnalogCount] = 500;
        h[fh::DigitalCount] = 500;

        state.scope.A1.Zero = 0;
        state.scope.A2.Zero = 0;
        state.scope.fmMode = FreqMeterMode::Off;
        state.display.cursors = CursorMode::None;
        state.display.Measure = false;
        derived.TimeDivNs = 250;
        derived.MicroVoltsA1 = 1'000'000;
        derived.MicroVoltsA2 = 1'000'000;
    }

    ReadoutContext context() {
        return ReadoutContext{state,     derived, h,           geometry, sources,
                              scrollPos, sinx,    deviceReady, false,    false};
    }
    const TextList& readouts() {
        buildReadoutTexts(context(), list);
        return list;
    }
    const TextList& overlays() {
        buildOverlayTexts(context(), list);
        return list;
    }
    // The text drawn at a column and row, or "<none>".
    std::string at(int column, int row) {
        readouts();
        for (const PlacedText& t : list)
            if (t.x == kCol[static_cast<std::size_t>(column)] && t.y == kRow[static_cast<std::size_t>(row)])
                return t.text;
        return "<none>";
    }
    void setChannelStats(double mean, double rmsAc, std::int32_t peakToPeak) {
        const double n = h[fh::AnalogCount];
        h.setReal(fh::SumA1, n * mean);
        h.setReal(fh::SumSqA1, n * (mean * mean + rmsAc * rmsAc));
        h[fh::PeakToPeakA1] = static_cast<std::uint32_t>(peakToPeak);
    }

    kx::core::InstrumentState state;
    kx::core::DerivedQuantities derived;
    kx::core::FrameHeader h;
    ScreenGeometry geometry;
    ReadoutSources sources;
    std::int64_t scrollPos = 0;
    bool sinx = false;
    bool deviceReady = false;
    TextList list;
};

TEST_F(ReadoutTextsTest, RowsAndColumnsFollowTheLayout) {
    EXPECT_EQ(readoutRow(geometry, 0), 7);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(readoutRow(geometry, r), kRow[static_cast<std::size_t>(r)]);
    for (int c = 0; c <= 9; ++c) EXPECT_EQ(readoutColumn(geometry, c), kCol[static_cast<std::size_t>(c)]);
}

struct StatusCase {
    const char* name;
    std::int64_t microVolts;
    std::int64_t timeDivNs;
    std::uint32_t peakDetect, hiRes, ets;
    bool sinx;
    const char* volts;
    const char* time;
};

TEST_F(ReadoutTextsTest, StatusRowShowsScalesAndSamplingModes) {
    const StatusCase cases[] = {
        {"mV no decimals", 500'000, 1'000'000, 0, 0, 0, false, "500 mV", "1.00 mS"},
        {"volts", 5'000'000, 2, 0, 0, 0, false, "5 V", "2.00 nS"},
        {"microvolts", 500, 1'000'000'000'000, 0, 0, 0, false, "500 uV", "1000 S"},
        {"peak detect", 1'000'000, 5'000, 1, 0, 0, false, "1 V", "5.00 uS  PD"},
        {"high resolution", 1'000'000, 5'000, 0, 8, 0, false, "1 V", "5.00 uS  HR  8"},
        {"ETS before sin(x)/x", 1'000'000, 20, 0, 0, 2, true, "1 V", "20.0 nS  ETS"},
        {"sin(x)/x", 1'000'000, 20, 0, 0, 1, true, "1 V", "20.0 nS  sin(x)/x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        derived.MicroVoltsA1 = c.microVolts;
        derived.TimeDivNs = c.timeDivNs;
        h[fh::PeakDetect] = c.peakDetect;
        h[fh::HiResFactor] = c.hiRes;
        h[fh::EtsState] = c.ets;
        sinx = c.sinx;
        EXPECT_EQ(at(0, 0), c.volts);
        EXPECT_EQ(at(3, 0), c.time);
    }
}

TEST_F(ReadoutTextsTest, StatusRowTriggerText) {
    struct Case {
        const char* name;
        std::int32_t src;
        double level;
        bool tplus, tplusEnabled, sweep;
        const char* expected;
    } const cases[] = {
        // 1 V/div: 8 V over 65536 codes, so 8192 codes above zero are 1 V.
        {"A1 level", 0, 8192.0, false, true, false, "Trig. A1  1.000 V"},
        {"A1 below zero", 0, -100.0, false, true, false, "Trig. A1  0.000 uV"}, // limited to 0
        {"A2 with T+", 1, 4096.4, true, true, false, "Trig. A2  500.0 mV    T+"},
        {"T+ not enabled", 1, 4096.0, true, false, false, "Trig. A2  500.0 mV"},
        {"D1 threshold", 2, 0, false, true, false, "Trig. D1  1.65 V"},
        {"sweep replaces trigger", 0, 0, false, true, true, "Sweep Mode"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.trigger.Src = c.src;
        state.trigger.Lev_A1 = state.trigger.Lev_A2 = c.level;
        state.trigger.TPLUS = c.tplus;
        derived.tPlusEnabled = c.tplusEnabled;
        derived.SweepActive = c.sweep;
        derived.TriggerActive = !c.sweep;
        const std::string t = at(7, 0);
        EXPECT_EQ(t, c.expected);
    }
    derived.SweepActive = derived.TriggerActive = false;
    EXPECT_EQ(at(7, 0), "<none>");
}

TEST_F(ReadoutTextsTest, LeftEdgeTimeAndSamplingInfo) {
    // 250 samples before the trigger at 5 ns: the first sample shown is 1.25 us before it.
    EXPECT_EQ(at(0, 1), "-1.2500 uS");
    scrollPos = 250;
    EXPECT_EQ(at(0, 1), "0.0000 nS");
    EXPECT_EQ(at(9, 1), "<none>"); // sampling info off

    state.display.Smpl_Info = true;
    struct Case {
        const char* name;
        std::uint32_t peak, hiRes, digitalCount, ets;
        const char* smpl;
    } const cases[] = {
        {"plain", 0, 0, 500, 0, "Smpl = 500"},
        {"peak detect", 1, 0, 500, 0, "Smpl = 2x500 PD"},
        {"high resolution", 0, 16, 500, 0, "Smpl = 500 HR  2^4"},
        {"digital differs, ETS", 0, 0, 5000, 2, "Smpl = 500 (5000)  ETS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        h[fh::PeakDetect] = c.peak;
        h[fh::HiResFactor] = c.hiRes;
        h[fh::DigitalCount] = c.digitalCount;
        h[fh::EtsState] = c.ets;
        EXPECT_EQ(at(9, 1), c.smpl);
    }
    h.set64(fh::DigitalPeriodPs, 2500); // the faster of the two sets the rate
    EXPECT_EQ(at(3, 1), "Fs = 400 MHz");
    EXPECT_EQ(at(6, 1), "Div = 10.00");
    h.set64(fh::SamplePeriodPs, 0);
    EXPECT_EQ(at(3, 1), "Fs = ...");
    EXPECT_EQ(at(6, 1), "Div = 0.00");
}

struct MeterCase {
    const char* name;
    FreqMeterMode mode;
    std::uint32_t status, events, ticks;
    const char* c3;
    const char* c9;
};

TEST_F(ReadoutTextsTest, FrequencyMeterInBothModes) {
    const MeterCase cases[] = {
        {"frequency", FreqMeterMode::Frequency, 0x01, 1001, 200'000, "<none>", "F(A1) = 1.000 0000 MHz"},
        {"frequency kHz tier", FreqMeterMode::Frequency, 0x03, 2, 162'005, "<none>",
         "F(D1) = 1.234 5298 KHz"},
        {"frequency from the trigger", FreqMeterMode::Frequency, 0x08, 11, 2'000'000, "<none>",
         "F(T) = 1.000 0000 KHz"},
        {"frequency not valid", FreqMeterMode::Frequency, 0x21, 1001, 200'000, "<none>", "F(A1) = ..."},
        {"frequency bit 0x10", FreqMeterMode::Frequency, 0x11, 1001, 200'000, "<none>", "F(A1) = ..."},
        {"frequency without ticks", FreqMeterMode::Frequency, 0x01, 1001, 0, "<none>", "F(A1) = ..."},
        {"frequency without edges", FreqMeterMode::Frequency, 0x01, 0, 100, "<none>", "F(A1) = ..."},
        {"period", FreqMeterMode::Period, 0x12, 1'234'567, 200, "T(A2) = 1.000 uS", "N(A2) = 1,234,567"},
        {"period overflow", FreqMeterMode::Period, 0x11, 0xFFFFFFFF, 0xFFFFFFFF, "T(A1) = ovf",
         "N(A1) = ovf"},
        {"period not ready", FreqMeterMode::Period, 0x01, 5, 200, "T(A1) = ...", "N(A1) = ..."},
        {"period busy, count valid", FreqMeterMode::Period, 0x31, 5, 200, "T(A1) = ...", "N(A1) = 5"},
        {"count busy, period valid", FreqMeterMode::Period, 0x51, 5, 200, "T(A1) = 1.000 uS", "N(A1) = ..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.scope.fmMode = c.mode;
        h[fh::CounterStatus] = c.status;
        h[fh::CounterEvents] = c.events;
        h[fh::CounterTicks] = c.ticks;
        EXPECT_EQ(at(3, 1), c.c3);
        EXPECT_EQ(at(9, 1), c.c9);
    }
}

TEST_F(ReadoutTextsTest, FrequencyMeterColoursAndItsPlaceAmongSamplingInfo) {
    state.display.Smpl_Info = true;
    state.scope.fmMode = FreqMeterMode::Frequency;
    h[fh::CounterStatus] = 0x09; // D1 through the trigger path
    h[fh::CounterEvents] = 3;
    h[fh::CounterTicks] = 400;
    readouts();
    const PlacedText* f = list.find("F(T) = ");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->color, state.display.colors.ColorD1);
    EXPECT_EQ(list.find("Smpl = "), nullptr); // the meter takes c9
    EXPECT_NE(list.find("Fs = "), nullptr);

    state.scope.fmMode = FreqMeterMode::Period;
    h[fh::CounterStatus] = 0x1F; // no such source
    readouts();
    EXPECT_EQ(list.find("Fs = "), nullptr); // the period readout takes c3
    ASSERT_NE(list.find("T = "), nullptr);
    EXPECT_EQ(list.find("T = ")->color, state.display.colors.ColorExtraInfo);

    // The equivalent-time reconstruction's own measurement stands in for an invalid count.
    state.scope.fmMode = FreqMeterMode::Frequency;
    h[fh::CounterStatus] = 0x21;
    h[fh::FftFirst + 2] = 1;
    h.setReal(fh::EtsFirst + 8, 12'345'678.9);
    EXPECT_EQ(at(9, 1), "F(ETS) = 12.34568 MHz");
}

TEST_F(ReadoutTextsTest, TimeCursorReadouts) {
    // t0 = -1250 ns; a cursor unit is 0.5 ns at 250 ns/div.
    struct Case {
        const char* name;
        CursorMode mode;
        std::int32_t x1, x2;
        bool cable;
        std::array<const char*, 4> texts; // c0, c3, c6, c9
    } const cases[] = {
        {"at the trigger",
         CursorMode::Single,
         2500,
         0,
         false,
         {"T = 0.0000 nS", "<none>", "<none>", "1/T = ..."}},
        {"after it",
         CursorMode::Single,
         3000,
         0,
         false,
         {"T = 250.00 nS", "<none>", "<none>", "1/T = 4.0000 MHz"}},
        {"before it",
         CursorMode::Single,
         0,
         0,
         false,
         {"T = -1.2500 uS", "<none>", "<none>", "1/T = 800.00 KHz"}},
        {"pair in reverse",
         CursorMode::Double,
         4000,
         3000,
         false,
         {"T1 = 250.00 nS", "T2 = 750.00 nS", "dT = 500.0 nS", "1/dT = 2.000 MHz"}},
        {"pair together",
         CursorMode::Double,
         3000,
         3000,
         false,
         {"T1 = 250.00 nS", "T2 = 250.00 nS", "dT = 0.000 nS", "1/dT = ..."}},
        {"cable length",
         CursorMode::Double,
         3000,
         4000,
         true,
         {"dT = 500.0 nS", "VF = 100.0 %", "dL = 149.90 m", "dL(refl.) = 74.95 m"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.display.cursors = c.mode;
        state.display.CursorX = state.display.CursorX1 = c.x1;
        state.display.CursorX2 = c.x2;
        state.system.Refl_Cursors = c.cable;
        EXPECT_EQ(at(0, 2), c.texts[0]);
        EXPECT_EQ(at(3, 2), c.texts[1]);
        EXPECT_EQ(at(6, 2), c.texts[2]);
        EXPECT_EQ(at(9, 2), c.texts[3]);
    }
    state.display.cursors = CursorMode::None;
    EXPECT_EQ(at(0, 2), "<none>");
}

TEST_F(ReadoutTextsTest, SweepAbscissaAndCursors) {
    derived.SweepActive = true;
    state.display.cursors = CursorMode::Single;
    EXPECT_EQ(at(0, 1), "..."); // no span in the frame
    EXPECT_EQ(at(0, 2), "F = ...");
    state.display.cursors = CursorMode::Double;
    EXPECT_EQ(at(0, 2), "F1 = ...");
    EXPECT_EQ(at(9, 2), "dF/F = ...");

    // 1 kHz to 10 kHz over 5000 samples of 1 us after the trigger: 1.8 mHz per ns.
    h.set64(fh::SweepStart, 1'000'000);
    h.set64(fh::SweepSpan, 9'000'000);
    h[fh::CaptureLength] = 5000;
    h[fh::PreTrigger] = 0;
    h.set64(fh::SamplePeriodPs, 1'000'000);
    derived.TimeDivNs = 500'000;
    EXPECT_DOUBLE_EQ(sweepRate(h), 0.0018);
    EXPECT_EQ(at(0, 1), "1.0000 KHz");
    // Cursors at 1 and 3 divisions: 1.9 kHz and 3.7 kHz.
    state.display.CursorX1 = 1500;
    state.display.CursorX2 = 500;
    EXPECT_EQ(at(0, 2), "F1 = 1.90 KHz");
    EXPECT_EQ(at(3, 2), "F2 = 3.70 KHz");
    EXPECT_EQ(at(6, 2), "dF = 1.800 KHz");
    EXPECT_EQ(at(9, 2), "dF/F = 0.64");
}

TEST_F(ReadoutTextsTest, ChannelMeasurements) {
    state.display.Measure = true;
    // 122.07 uV per code; 8192 codes are 1 V.
    struct Case {
        const char* name;
        std::uint32_t count;
        double mean, rms;
        std::int32_t p2p;
        std::uint32_t zero, videoSource, videoStandard, videoLine;
        std::array<const char*, 3> texts;
    } const cases[] = {
        {"plain", 500, 4096, 8192, 8192, 0, 0, 0, 0, {"Vpp = 1.000 V", "Vdc = 500.0 mV", "Vrms = 1.000 V"}},
        {"below the capture zero",
         500,
         1000,
         0,
         16384,
         5096,
         0,
         0,
         0,
         {"Vpp = 2.000 V", "Vdc = -500.0 mV", "Vrms = 0.000 uV"}},
        {"no samples", 0, 0, 0, 100, 0, 0, 0, 0, {"Vpp = ...", "Vdc = ...", "Vrms = ..."}},
        {"overdriven", 500, 4096, 100, -1, 0, 0, 0, 0, {"Vpp = ...", "Vdc = ...", "Vrms = ..."}},
        {"PAL line",
         500,
         4096,
         100,
         8192,
         0,
         1,
         1,
         312,
         {"Vpp = 1.000 V", "Vdc = 500.0 mV", "PAL/SECAM 312"}},
        {"NTSC no line yet", 500, 4096, 100, 8192, 0, 1, 2, 0, {"Vpp = 1.000 V", "Vdc = 500.0 mV", "NTSC "}},
        {"line count", 500, 4096, 100, 8192, 0, 1, 3, 7, {"Vpp = 1.000 V", "Vdc = 500.0 mV", "N = 7"}},
        {"video on the other channel",
         500,
         4096,
         8192,
         8192,
         0,
         2,
         1,
         7,
         {"Vpp = 1.000 V", "Vdc = 500.0 mV", "Vrms = 1.000 V"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        h[fh::AnalogCount] = c.count;
        h[fh::ZeroA1] = c.zero;
        if (c.count != 0) setChannelStats(c.mean, c.rms, c.p2p);
        h[fh::PeakToPeakA1] = static_cast<std::uint32_t>(c.p2p);
        h[fh::StatusTriggerSource] = c.videoSource;
        h[fh::VideoStandard] = c.videoStandard;
        h[fh::VideoLine] = c.videoLine;
        EXPECT_EQ(at(0, 3), c.texts[0]);
        EXPECT_EQ(at(3, 3), c.texts[1]);
        EXPECT_EQ(at(6, 3), c.texts[2]);
    }
}

TEST_F(ReadoutTextsTest, ChannelRowsFollowTheirChannelAndTheMeasureItem) {
    state.display.Measure = true;
    state.scope.A2.shown = false;
    readouts();
    EXPECT_NE(list.find("Vpp = "), nullptr);
    EXPECT_EQ(at(0, 4), "<none>");
    state.scope.A2.shown = true;
    h[fh::PeakToPeakA2] = 8192;
    EXPECT_EQ(at(0, 4), "Vpp = 1.000 V");
    // A frame without A2 (an equivalent-time frame carries its analysis channel only).
    h[fh::ChannelMask] = 0x01;
    EXPECT_EQ(at(0, 4), "Vpp = ...");
    EXPECT_EQ(at(3, 4), "Vdc = ...");
    EXPECT_EQ(at(6, 4), "Vrms = ...");
    EXPECT_NE(at(0, 3), "Vpp = ...");
    state.display.Measure = false;
    EXPECT_EQ(at(0, 3), "<none>");
}

TEST_F(ReadoutTextsTest, VoltageCursors) {
    state.display.Measure = true;
    state.scope.A2.shown = true;
    state.display.cursors = CursorMode::Single;
    state.display.CursorY = 61440; // 4096 codes from the bottom
    EXPECT_EQ(at(9, 3), "V = 500.0 mV");
    state.scope.A1.Zero = 0x8000;
    EXPECT_EQ(at(9, 3), "V = -3.500 V");
    state.display.cursors = CursorMode::Double;
    state.display.CursorY1 = 4096;
    state.display.CursorY2 = 20480;
    derived.MicroVoltsA2 = 100'000;
    EXPECT_EQ(at(9, 3), "dV = 2.000 V");
    EXPECT_EQ(at(9, 4), "dV = 200.0 mV");
}

TEST_F(ReadoutTextsTest, AnalyzerRowsReplaceTheChannelRows) {
    derived.AnalyzerOn = true;
    derived.SweepActive = true;
    state.analyzer.NA = true;
    state.display.Measure = true;
    state.generator.FStart = 1000;
    state.generator.FSweep = 11000;
    state.generator.FMult = 1; // 10 Hz units: a span of 100 kHz
    h[fh::HiResFactor] = 2000;
    h[fh::CaptureLength] = 10250;
    EXPECT_EQ(at(0, 0), "Ref  2.0 Vrms");
    EXPECT_EQ(at(4, 0), "Network Analyzer");
    EXPECT_EQ(at(8, 0), "span 100.00 KHz");
    EXPECT_EQ(at(0, 4), "Fstep = 10.00 Hz");
    EXPECT_EQ(at(3, 4), "RBW = 88.00 KHz");
    EXPECT_EQ(at(6, 4), "Clbr. File - ...");
    state.system.NA_Clbr_File = "/home/u/cal/filter.kxc";
    state.analyzer.NA_Use_Clbr = true;
    EXPECT_EQ(at(6, 4), "Clbr. File - filter.kxc");
    EXPECT_EQ(at(0, 3), "<none>");
}

struct AnalyzerCase {
    const char* name;
    bool aa, phase;
    std::int32_t graph1, graph2, graph3;
    CursorMode mode;
    std::int32_t y;                   // single cursor, or the first of the pair
    std::array<const char*, 4> texts; // c0, c3, c6, c9
};

TEST_F(ReadoutTextsTest, AnalyzerCursorReadouts) {
    derived.AnalyzerOn = derived.SweepActive = true;
    // 1 MHz to 2 MHz; the vertical cursor at mid-plot is 1.5 MHz.
    h.set64(fh::SweepStart, 1'000'000'000);
    h.set64(fh::SweepSpan, 1'000'000'000);
    h[fh::AnalyzerMode] = 1;
    state.display.CursorX = state.display.CursorX1 = 2500;
    state.display.CursorY2 = 20480;
    const AnalyzerCase cases[] = {
        {"NA level, 10 dB/div",
         false,
         false,
         0,
         0,
         0,
         CursorMode::Single,
         16384,
         {"V = -10.0 dB", "632.5 mVrms", "9.03 dBm (50)", "1.789 Vpp"}},
        {"NA level and phase",
         false,
         true,
         0,
         0,
         0,
         CursorMode::Single,
         16384,
         {"V = -10.0 dB", "632.5 mVrms", "9.03 dBm (50)", "Ph = 90.0 Deg"}},
        {"NA pair",
         false,
         true,
         0,
         0,
         0,
         CursorMode::Double,
         4096,
         {"dV = 20.0 dB", "V/V = 0.100 (10.00)", "<none>", "dPh = 90.0 Deg"}},
        {"AA inductive",
         true,
         false,
         1,
         1,
         2,
         CursorMode::Single,
         16384,
         {"SWR = 7.00", "Rs = 40.0 Ohm", "Xs = 40.0 Ohm", "L = 4.24 uH"}},
        {"AA capacitive",
         true,
         false,
         1,
         1,
         2,
         CursorMode::Single,
         49152,
         {"SWR = 3.00", "Rs = -40.0 Ohm", "Xs = -40.0 Ohm", "C = 2.65 nF"}},
        {"AA pair",
         true,
         false,
         1,
         1,
         2,
         CursorMode::Double,
         4096,
         {"dSWR = 2.00", "dRs = 40.0 Ohm", "dXs = 40.0 Ohm", "<none>"}},
        {"AA return loss, impedance, phase",
         true,
         false,
         2,
         3,
         4,
         CursorMode::Single,
         16384,
         {"R.L. = -20.00 dB", "|Z| = 60.0 Ohm", "<none>", "Ph = 90.0 Deg"}},
        {"AA Q, one graph twice",
         true,
         false,
         3,
         5,
         5,
         CursorMode::Single,
         16384,
         {"Q = 60.0", "Rp = 40.0 Ohm", "<none>", "<none>"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.analyzer.NA = !c.aa;
        state.analyzer.AA = c.aa;
        state.analyzer.NA_Phase = c.phase;
        state.analyzer.AaGraph1 = c.graph1;
        state.analyzer.AaGraph2 = c.graph2;
        state.analyzer.AaGraph3 = c.graph3;
        state.display.cursors = c.mode;
        state.display.CursorY = state.display.CursorY1 = c.y;
        EXPECT_EQ(at(0, 3), c.texts[0]);
        EXPECT_EQ(at(3, 3), c.texts[1]);
        EXPECT_EQ(at(6, 3), c.texts[2]);
        EXPECT_EQ(at(9, 3), c.texts[3]);
    }
    // Labels are redrawn in the curve's colour over the value in the markers' colour.
    readouts();
    const PlacedText* value = list.find("Q = ");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->color, state.display.colors.ColorMarkers);
    bool labelOver = false;
    for (const PlacedText& t : list)
        labelOver |= t.text == "Q = " && t.x == value->x && t.color == state.display.colors.ColorAaGraph1;
    EXPECT_TRUE(labelOver);
}

TEST_F(ReadoutTextsTest, TriggerEventLabel) {
    struct Case {
        std::uint32_t kind, value;
        const char* text;
    } const cases[] = {
        {1, 200, "PUL 1.000 uS"},
        {2, 3, "PER 15 nS"},
        {3, 0xFFFFFFFF, "RUNT ..."},
        {4, 2'000'000, "SLEW 10.000 000 mS"},
        {0, 200, ""},
        {5, 200, ""},
    };
    for (const auto& c : cases) {
        h[fh::TPlusKind] = c.kind;
        h[fh::TPlusValue] = c.value;
        EXPECT_EQ(triggerEventText(h), c.text) << c.kind;
    }

    state.display.Trig_T = true;
    h[fh::TPlusKind] = 1;
    h[fh::TriggerSource] = 1;
    h[fh::TriggerLevelCode] = 8192;
    state.scope.A1.Zero = 16384;
    scrollPos = 100; // 150 samples of one pixel each left of the trigger
    auto label = triggerEventLabel(context());
    ASSERT_TRUE(label.has_value());
    EXPECT_EQ(label->x, 33 + 150);
    EXPECT_EQ(label->y, 29 + 256 - 96); // code 24576 is 96 rows above the bottom
    EXPECT_EQ(label->channel, 0);

    derived.MicroVoltsA1 = 2'000'000; // shown at half the capture's scale
    label = triggerEventLabel(context());
    ASSERT_TRUE(label.has_value());
    EXPECT_EQ(label->y, 29 + 256 - 80);

    h[fh::TriggerSource] = 6; // D4 lane centre 0x7000
    label = triggerEventLabel(context());
    ASSERT_TRUE(label.has_value());
    EXPECT_EQ(label->y, 29 + 256 - 112);
    state.scope.CH_D4 = false;
    EXPECT_FALSE(triggerEventLabel(context()).has_value());
    state.display.Trig_T = false;
    h[fh::TriggerSource] = 1;
    EXPECT_FALSE(triggerEventLabel(context()).has_value());
}

TEST_F(ReadoutTextsTest, ExtraInfoLine) {
    state.display.Extra_Info = true;
    sources.shown.displayedFrames = 25;
    sources.shown.dataPackets = 800;
    overlays();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].text, "Grid = 500 x 256");
    EXPECT_EQ(list[0].x, 36);
    EXPECT_EQ(list[0].y, 30);
    EXPECT_EQ(list[1].text, "Vcc = ...");
    EXPECT_EQ(list[1].x, 33 + 125);
    EXPECT_EQ(list[2].text, "Smpl = 500");
    EXPECT_EQ(list[2].x, 33 + 225);
    EXPECT_EQ(list[3].text, "WPS/Skipped  = 25/775");
    EXPECT_EQ(list[3].x, 33 + 375);

    deviceReady = true;
    sources.supplyMillivolts = 5012;
    h[fh::HiResFactor] = 4;
    overlays();
    EXPECT_EQ(list[1].text, "Vcc = 5.01 V");
    EXPECT_EQ(list[2].text, "Smpl = 500 HR 2^2");
    state.system.DebugMode = true;
    overlays();
    EXPECT_EQ(list[1].text, "Vcc = 5.012 V");

    // A frame drawn in the second after it was accepted skips nothing.
    sources.shown.dataPackets = 24;
    overlays();
    EXPECT_EQ(list[3].text, "WPS/Skipped  = 25/0");
}

TEST_F(ReadoutTextsTest, UsbDebugLinesInBothLanguages) {
    state.display.USB_Stat = true;
    overlays();
    EXPECT_EQ(list.size(), 0u); // debug mode only
    state.system.DebugMode = true;
    sources.shown = {25, 800, 3, 1, 44, 1'200'000, 4096};
    sources.reconfigurations = 2;
    sources.screenUpdates = 1234;
    state.system.RussianUi = false;
    overlays();
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(list[0].text, " Displayed waveforms per sec = 25");
    EXPECT_EQ(list[1].text, " Skipped waveforms per sec = 775");
    EXPECT_EQ(list[5].text, " Received driver data = 1200000 Bytes/S");
    EXPECT_EQ(list[6].text, " Leakage outside packets = 44 Bytes/S");
    EXPECT_EQ(list[7].text, " Driver buffer max loading = 4096 Bytes");
    EXPECT_EQ(list[8].text, " Device reconfig. counter = 2");
    EXPECT_EQ(list[11].text, " Run under Linux (Wine) = 0");
    for (std::size_t k = 0; k < list.size(); ++k) {
        EXPECT_EQ(list[k].x, 36);
        EXPECT_EQ(list[k].y, 29 + 30 + 15 * static_cast<int>(k));
    }
    state.system.RussianUi = true;
    overlays();
    EXPECT_EQ(list[7].text, " Пик. загрузка буф. драйвера  = 4096 Bytes");
    EXPECT_EQ(list[10].text, " Фактических перерисовок экрана = 1234");
}

TEST_F(ReadoutTextsTest, NoOverlayOnACompactScreen) {
    state.display.Extra_Info = state.display.USB_Stat = state.system.DebugMode = true;
    geometry.CompactScreen = true;
    overlays();
    EXPECT_EQ(list.size(), 0u);
}

} // namespace
