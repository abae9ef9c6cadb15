// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/SpectrumReadouts.h"
#include "analyzers/SpectrumFrame.h"
#include "display/OverlayTexts.h"

#include <gtest/gtest.h>

#include <map>

#include <string>

namespace kx::display {
namespace {

namespace fh = core::fh;
namespace fw = analyzers::fftword;

// Design-size screen as in the other readout tests: columns c0.. at 33, 95, 145, 158, 183, 220,
// 283, 320, 345, 408; rows 7, 293, 311, 329, 347.
constexpr std::array<int, 10> kCol{33, 95, 145, 158, 183, 220, 283, 320, 345, 408};
constexpr std::array<int, 5> kRow{7, 293, 311, 329, 347};

class SpectrumReadoutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.PlotLeft = 33;
        g.PlotTop = 29;
        g.PlotWidth = 500;
        g.PlotHeight = 256;
        g.PixelsPerDivX = 50;
        g.PixelsPerDivY = 32;
        h.set64(fh::SamplePeriodPs, 5000); // span 100 MHz
        h[fw::FftPoints] = 4096;
        h[fw::FftStateA1] = 1;
        h[fw::FftAveragesA1] = 1;
        h[fw::FftPeakValidA1] = 1;
        h.setReal(fw::FftPeakLevelA1, -3.0103);
        h.setReal(fw::FftPeakFreqA1, 1e6);
        h[fw::FftAveragesA1 + 1] = 1;
        h[fw::FftPeakValidA1 + 1] = 1;
        h.setReal(fw::FftPeakLevelA1 + 2, -9.5);
        h.setReal(fw::FftPeakFreqA1 + 2, 1e6);
        state.fft.View_A1 = true;
        state.scope.A2.shown = true;
        state.system.RussianUi = false;
        state.display.cursors = core::CursorMode::None;
        derived.MicroVoltsA1 = derived.MicroVoltsA2 = 1000000;
    }
    const TextList& texts(bool a1 = true, bool a2 = false) {
        list.clear();
        const ReadoutContext c{state, derived, h, g, sources, 0, false, true, a1, a2};
        appendSpectrumReadouts(c, data, list);
        return list;
    }
    // Every text at a place, joined: a label drawn again over its value shows twice.
    std::string at(int column, int row, int dx = 0) {
        std::string all;
        for (const PlacedText& t : texts(a1, a2))
            if (t.x == kCol[static_cast<std::size_t>(column)] + dx &&
                t.y == kRow[static_cast<std::size_t>(row)])
                all += (all.empty() ? "" : "|") + t.text;
        return all;
    }

    core::InstrumentState state;
    core::DerivedQuantities derived;
    core::FrameHeader h;
    ScreenGeometry g;
    ReadoutSources sources;
    SpectrumReadoutData data;
    TextList list;
    bool a1 = true, a2 = false;
};

TEST_F(SpectrumReadoutsTest, StatusRowAndPeak) {
    EXPECT_EQ(at(3, 0), "  A1");
    EXPECT_EQ(at(5, 0, -10), "N 4096");
    EXPECT_EQ(at(0, 0), "10 dBV");
    EXPECT_EQ(at(6, 0), "span 100 MHz");
    EXPECT_EQ(at(9, 0), "10 dBV/Div");
    EXPECT_EQ(at(0, 1), "0.0000 mHz");
    EXPECT_EQ(at(0, 3), "Vp = -3.010 dBV|Vp = ");
    EXPECT_EQ(at(3, 3), "Fp = 1.000 000 MHz|Fp = ");
    EXPECT_EQ(at(0, 4), ""); // A2's spectrum is not computed

    state.fft.Scale = 1;
    state.fft.dB15_div = true;
    state.fft.Zoom = 3;
    data.fftScrollPos = 100;
    EXPECT_EQ(at(0, 0), "25 dBm (50 ohm)");
    EXPECT_EQ(at(6, 0), "span 100 MHz:10");
    EXPECT_EQ(at(9, 0), "15 dBm/Div");
    EXPECT_EQ(at(0, 1), "4.8828 MHz");
    EXPECT_EQ(at(0, 3), "Vp = 10.000 dBm|Vp = ");

    h[fw::FftPeakValidA1] = 0;
    EXPECT_EQ(at(0, 3), "Vp = ...|Vp = ");
    EXPECT_EQ(at(3, 3), "Fp = ...|Fp = ");
}

TEST_F(SpectrumReadoutsTest, PhaseOrAveragesInTheThirdColumn) {
    a2 = true;
    data.cross.a1Valid = data.cross.a2Valid = true;
    data.cross.a1MinusA2Deg = 12.345;
    data.cross.a2MinusA1Deg = -12.345;
    data.cross.peaksCoincide = false;
    EXPECT_EQ(at(6, 3), "dPh = 12.35 Deg|dPh = ");
    EXPECT_EQ(at(6, 4), "dPh = -12.35 Deg|dPh = ");
    // Peaks on the same bin: A1's row leaves it out, A2's keeps it.
    data.cross.peaksCoincide = true;
    EXPECT_EQ(at(6, 3), "");
    EXPECT_EQ(at(6, 4), "dPh = -12.35 Deg|dPh = ");
    data.cross.a2Valid = false;
    EXPECT_EQ(at(6, 4), "dPh = ...|dPh = ");
    // Averaging on: the count instead.
    state.fft.Ave_On = true;
    h[fw::FftAveragesA1] = 5;
    EXPECT_EQ(at(6, 3), "Av16 = 5|Av16 = ");
    state.fft.Ave = 6;
    EXPECT_EQ(at(6, 3), "Av Inf = 5|Av Inf = ");
}

TEST_F(SpectrumReadoutsTest, CursorsReadFrequencyAndLevel) {
    state.display.cursors = core::CursorMode::Single;
    state.display.CursorX = 2500; // the middle: half the span
    state.display.CursorY = 16384;
    EXPECT_EQ(at(0, 2), "F = 50.000 MHz|F = ");
    EXPECT_EQ(at(9, 3), "V = -10.00 dBV|V = ");
    state.display.cursors = core::CursorMode::Double;
    state.display.CursorX1 = 5000;
    state.display.CursorX2 = 0;
    state.display.CursorY1 = 0;
    state.display.CursorY2 = 8192;
    EXPECT_EQ(at(0, 2), "F1 = 0.0000 mHz|F1 = ");
    EXPECT_EQ(at(3, 2), "F2 = 100.00 MHz|F2 = ");
    EXPECT_EQ(at(6, 2), "dF = 100.0 MHz|dF = ");
    EXPECT_EQ(at(9, 3), "dV = 10.00 dBV|dV = ");
}

TEST_F(SpectrumReadoutsTest, DistortionRow) {
    data.distortionShown = true;
    data.distortion.valid = true;
    data.distortion.thdDb = -40;
    data.distortion.thdPercent = 1;
    data.distortion.thdNoiseDb = -39.5;
    data.distortion.sinadDb = 39.5;
    data.distortion.sfdrDb = 41.25;
    data.distortion.enobBits = 6.27;
    data.distortion.noiseDbvPerRootHz = -120.04;
    // Three rows of two at the bottom of the plot, each figure half the plot wide.
    auto rows = [&] {
        std::map<int, std::string> byRow;
        for (const PlacedText& t : texts()) {
            const int bottom = 29 + 256 - 13 - 4;
            const int row = (bottom - t.y) / 15;
            if (t.y > bottom || (bottom - t.y) % 15 != 0 || row > 2) continue;
            const int column = (t.x - g.PlotLeft - 3) / (g.PlotWidth / 2);
            byRow[-row] += std::to_string(column) + ":" + t.text + ";";
        }
        std::string all;
        for (const auto& [row, text] : byRow) all += text + "\n";
        return all;
    };
    EXPECT_EQ(rows(), "0:THD = -40.00 dB (1.000 %);1:THD+N = -39.50 dB;\n"
                      "0:SINAD = 39.50 dB;1:SFDR = 41.25 dB;\n"
                      "0:ENOB = 6.27 bit;1:Noise = -120.0 dBV/\xE2\x88\x9AHz;\n");
    data.distortion.valid = false;
    EXPECT_EQ(rows(),
              "0:THD = ...;1:THD+N = ...;\n0:SINAD = ...;1:SFDR = ...;\n0:ENOB = ...;1:Noise = ...;\n");
}

TEST_F(SpectrumReadoutsTest, EquivalentTimeDiagnosticsOverlay) {
    state.system.DebugMode = true;
    state.display.ETS_Stat = true;
    h[fh::EtsState] = 2;
    h.setReal(71, 10e6);
    h[98] = 1;
    h[93 + 1] = 1;
    h[85 + 1] = 9;
    h[89 + 1] = 175;
    h[97] = 6;
    h[81] = 1000;
    h.setReal(82, 73.456);
    h[84] = 6;
    h[102] = 1;
    h[103] = 9;
    const ReadoutContext c{state, derived, h, g, sources, 0, false, true, false, false};
    buildOverlayTexts(c, list);
    ASSERT_EQ(list.size(), 14u);
    const int x = 33 + 250 + 3;
    EXPECT_EQ(list[0].x, x);
    EXPECT_EQ(list[0].y, 29 + 30);
    EXPECT_EQ(list[0].text, "Fmax0 = 10.00000 MHz Nyquist Zone = 1");
    EXPECT_EQ(list[5].text, "F1 used 1  Ratio = 9/175");
    EXPECT_EQ(list[8].text, "Matching freq. pairs = 6");
    EXPECT_EQ(list[9].text, "Samples per period = 1000");
    EXPECT_EQ(list[10].text, "Recovered samples = 73.46 %");
    EXPECT_EQ(list[13].y, 29 + 30 + 15 * 13);
    EXPECT_EQ(list[13].text, "Post filter order = 6");
    state.system.RussianUi = true;
    buildOverlayTexts(c, list);
    EXPECT_EQ(list[5].text, "F1 исп. 1  Кратность = 9/175");
    // Outside debug mode, or without ETS, nothing.
    state.system.DebugMode = false;
    buildOverlayTexts(c, list);
    EXPECT_EQ(list.size(), 0u);
}

} // namespace
} // namespace kx::display
