// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorPanelModel.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>

namespace kx::generator {
namespace {

using core::GeneratorState;
using core::GenFunction;
using core::GenShape;
using core::InstrumentState;

struct LabelCase {
    const char* name;
    std::function<void(InstrumentState&, AwgPanelStatus&)> set;
    std::string labelF;
    std::string labelV;
    std::string labelMod; // "" when hidden
    std::string labelPulse;
};

void PrintTo(const LabelCase& c, std::ostream* os) {
    *os << c.name;
}

InstrumentState english() {
    InstrumentState s;
    s.system.RussianUi = false;
    s.generator.On = true;
    return s;
}

class PanelLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(PanelLabels, Texts) {
    const LabelCase& c = GetParam();
    InstrumentState s = english();
    AwgPanelStatus awg;
    c.set(s, awg);
    GeneratorPanelView v;
    generatorPanelView(s, awg, v);
    EXPECT_EQ(v.labelF, c.labelF);
    EXPECT_EQ(v.labelV, c.labelV);
    EXPECT_EQ(v.modVisible ? v.labelMod : "", c.labelMod);
    EXPECT_EQ(v.pulseVisible ? v.labelPulse : "", c.labelPulse);
}

void plain(int fmult, int fast, int slow, GeneratorState& g) {
    g.FMult = fmult;
    g.FFast = fast;
    g.FSlow = slow;
}

void modulation(GeneratorState& g, int type, int src) {
    g.Function = GenFunction::Modulation;
    g.Mod_Type = type;
    g.Mod_Src = src;
}

// Frequencies in millihertz: (FFast x 1000 + FSlow) x 10^FMult; the shown digits follow the range.
const LabelCase kLabelCases[] = {
    {"plain default 1 kHz", [](auto&, auto&) {}, "1.00 KHz", "2.000 V", "", ""},
    {"plain 10 K range", [](auto& s, auto&) { plain(0, 1234, 0, s.generator); }, "1.234 KHz", "2.000 V", "",
     ""},
    {"plain 1 M range with slow part", [](auto& s, auto&) { plain(2, 1000, 500, s.generator); },
     "100.0500 KHz", "2.000 V", "", ""},
    {"plain 1 M range, coarse only", [](auto& s, auto&) { plain(2, 2500, 0, s.generator); }, "250.0 KHz",
     "2.000 V", "", ""},
    {"plain 10 M range", [](auto& s, auto&) { plain(3, 1000, 0, s.generator); }, "1.000 MHz", "2.000 V", "",
     ""},
    {"plain 100 M range", [](auto& s, auto&) { plain(4, 2500, 0, s.generator); }, "25.00 MHz", "2.000 V", "",
     ""},
    {"200 MHz option doubles the top range",
     [](auto& s, auto&) {
         plain(4, 2500, 0, s.generator);
         s.generator.Gen_200MHz = true;
         s.system.DebugMode = true;
     },
     "50.00 MHz", "2.000 V", "", ""},
    {"noise range", [](auto& s, auto&) { s.generator.FMult = core::kFMultNoise; }, "Noise", "2.000 V", "",
     ""},
    {"amplitude limited by the DC level", [](auto& s, auto&) { s.generator.DC_Shift = 3000; }, "1.00 KHz",
     "300 mV", "", ""},
    {"sweep", [](auto& s, auto&) { s.generator.Function = GenFunction::Sweep; },
     "10.00 KHz   ...   100.00 KHz", "2.000 V", "", ""},
    {"sweep on the 1 M range",
     [](auto& s, auto&) {
         s.generator.Function = GenFunction::Sweep;
         s.generator.FMult = 2;
         s.generator.FStart = 5;
         s.generator.FSweep = 9000;
     },
     "500 Hz   ...   900.0 KHz", "2.000 V", "", ""},
    {"pulse", [](auto& s, auto&) { s.generator.Function = GenFunction::Pulse; }, "500.0 uS / 1.0000 mS",
     "2.000 V", "", "50.000 %  1.0000 KHz"},
    {"pulse 50 uS range",
     [](auto& s, auto&) {
         s.generator.Function = GenFunction::Pulse;
         s.generator.TMult = 0;
         s.generator.TPulse = 3;
         s.generator.TPer = 7;
     },
     "15 nS / 35 nS", "2.000 V", "", "42.857 %  28.571 MHz"},
    {"pulse without period",
     [](auto& s, auto&) {
         s.generator.Function = GenFunction::Pulse;
         s.generator.TPer = 0;
         s.generator.TPulse = 0;
     },
     "0 nS / 0 nS", "2.000 V", "", "... %  ... Hz"},
    {"pulse as wide as its period",
     [](auto& s, auto&) {
         s.generator.Function = GenFunction::Pulse;
         s.generator.TPulse = s.generator.TPer;
     },
     "1.0000 mS / 1.0000 mS", "2.000 V", "", "100.000 %  ... Hz"},
    {"AM internal", [](auto& s, auto&) { modulation(s.generator, core::kModAm, 0); }, "1.00 KHz", "1.0000 V",
     "AM 70.0%   100 Hz", ""},
    {"AM carrier limited by the DC level",
     [](auto& s, auto&) {
         modulation(s.generator, core::kModAm, 0);
         s.generator.DC_Shift = 3000;
     },
     "1.00 KHz", "150.0 mV", "AM 70.0%   100 Hz", ""},
    {"AM from A1", [](auto& s, auto&) { modulation(s.generator, core::kModAm, core::kModSrcA1); }, "1.00 KHz",
     "1.0000 V", "AM 17.500% / Div   CH A1", ""},
    {"FM internal, 100 K deviation range",
     [](auto& s, auto&) {
         modulation(s.generator, core::kModFm, 0);
         s.generator.DF_Mult = 1;
         s.generator.MF_Mult = 2;
         s.generator.MF_Slow = 250;
     },
     "1.00 KHz", "2.000 V", "FM 70.00 KHz   10.0250 KHz", ""},
    {"FM from A2", [](auto& s, auto&) { modulation(s.generator, core::kModFm, core::kModSrcA2); }, "1.00 KHz",
     "2.000 V", "FM 140.0 Hz / Div   CH A2", ""},
    {"PM from D3", [](auto& s, auto&) { modulation(s.generator, core::kModPm, 5); }, "1.00 KHz", "2.000 V",
     "PM 7.00   CH D3", ""},
    {"SUM with noise",
     [](auto& s, auto&) {
         modulation(s.generator, core::kModSum, 0);
         s.generator.MF_Shape = core::kMfShapeNoise;
     },
     "1.00 KHz", "1.0000 V", "SUM 70.0%   Noise ", ""},
    {"PM by the pulse generator", [](auto& s, auto&) { modulation(s.generator, core::kModPm, 7); },
     "1.00 KHz", "2.000 V", "PM 7.00   Pulse", ""},
    {"AWG not loaded", [](auto& s, auto&) { s.generator.Function = GenFunction::Awg; }, "5 nS", "50.000 %",
     "File not loaded", ""},
    {"AWG loaded, full amplitude, whole step count",
     [](auto& s, auto& awg) {
         s.generator.Function = GenFunction::Awg;
         s.generator.Ampl = 4000;
         s.generator.AwgCoarse = 1;
         s.generator.AwgFine = 0;
         s.generator.AWG_File = "/home/u/scripts/stairs.kxg";
         awg.loaded = true;
     },
     "50 uS", "100.00 %", "stairs", ""},
    {"AWG level ignores the DC limits",
     [](auto& s, auto& awg) {
         s.generator.Function = GenFunction::Awg;
         s.generator.Ampl = 1234;
         s.generator.DC_Shift = 3300;
         s.generator.AwgCoarse = 2;
         s.generator.AwgFine = 500;
         awg.loaded = true;
         s.generator.AWG_File = "w.kxg";
     },
     "102.500 uS", "30.850 %", "w", ""},
    {"AWG status text, first line",
     [](auto& s, auto& awg) {
         s.generator.Function = GenFunction::Awg;
         awg.loaded = true;
         awg.statusText = "Error in line 3\r\nOut of memory";
         awg.statusCountdown = 3;
     },
     "5 nS", "50.000 %", "Error in line 3", ""},
    {"AWG status text, second line",
     [](auto& s, auto& awg) {
         s.generator.Function = GenFunction::Awg;
         awg.statusText = "Error in line 3\r\nOut of memory";
         awg.statusCountdown = 1;
     },
     "5 nS", "50.000 %", "Out of memory", ""},
};

INSTANTIATE_TEST_SUITE_P(States, PanelLabels, ::testing::ValuesIn(kLabelCases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});

TEST(PanelView, RmsLevelOnlyUnderAnAnalyzer) {
    InstrumentState s = english();
    GeneratorPanelView v;
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.labelVrms, "707.1 mVrms");
    EXPECT_FALSE(v.vrmsVisible);
    s.analyzer.NA = true;
    generatorPanelView(s, {}, v);
    EXPECT_TRUE(v.vrmsVisible);
}

TEST(PanelView, RussianTexts) {
    InstrumentState s = english();
    s.system.RussianUi = true;
    s.generator.Function = GenFunction::Awg;
    GeneratorPanelView v;
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.labelMod, "Файл не загружен");
    s.generator.Function = GenFunction::Plain;
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.rangeCaption[5], "Шум");
    EXPECT_EQ(v.rangeCaption[0], "10 K");
    modulation(s.generator, core::kModFm, core::kModSrcA1);
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.labelMod, "FM 140.0 Hz / Дел   CH A1");
}

// Which controls each function shows and which range button is down.
TEST(PanelView, ControlsPerFunction) {
    InstrumentState s = english();
    GeneratorState& g = s.generator;
    GeneratorPanelView v;
    const auto view = [&] {
        generatorPanelView(s, {}, v);
        return v;
    };
    const std::array<std::string, 6> frequency{"10 K", "100 K", "1 M", "10 M", "100 M", "Noise"};
    const std::array<std::string, 6> pulse{"5 S", "0.5 S", "50 mS", "5 mS", "0.5 mS", "50 uS"};

    view();
    EXPECT_EQ(v.rangeCaption, frequency);
    EXPECT_EQ(v.rangeVisible, (std::array<bool, 6>{true, true, true, true, true, true}));
    EXPECT_EQ(v.rangeDown, 1);
    EXPECT_TRUE(v.shapesVisible);
    EXPECT_TRUE(v.shapesEnabled);
    EXPECT_FALSE(v.modVisible || v.pulseVisible || v.markListVisible || v.awgRunVisible);

    g.FMult = 3;
    view();
    EXPECT_FALSE(v.shapesEnabled) << "only sine above the 1 M range";

    g.Function = GenFunction::Sweep;
    view();
    EXPECT_FALSE(v.rangeVisible[5]) << "no noise sweep";
    EXPECT_EQ(v.functionDown, (std::array<bool, 5>{false, true, false, false, false}));

    g.Function = GenFunction::Pulse;
    g.TMult = 4;
    view();
    EXPECT_EQ(v.rangeCaption, pulse);
    EXPECT_EQ(v.rangeDown, 1);
    EXPECT_FALSE(v.shapesVisible);
    EXPECT_TRUE(v.pulseVisible);

    g.Function = GenFunction::Awg;
    view();
    EXPECT_EQ(v.rangeVisible, (std::array<bool, 6>{}));
    EXPECT_EQ(v.rangeDown, -1);
    EXPECT_FALSE(v.shapesVisible);
    EXPECT_TRUE(v.modVisible);
    EXPECT_TRUE(v.markListVisible);
    EXPECT_TRUE(v.awgRunVisible);
    g.On = false;
    view();
    EXPECT_FALSE(v.awgRunVisible) << "RUN only with the generator on";
    EXPECT_FALSE(v.textLit);

    g.Function = GenFunction::Plain;
    g.FMult = 4;
    s.system.DebugMode = true;
    g.Gen_200MHz = true;
    view();
    EXPECT_EQ(v.rangeCaption[4], "200 M");
}

TEST(PanelView, AnalyzerLocksFunctionsAndSweepMinimum) {
    InstrumentState s = english();
    s.analyzer.AA = true;
    s.generator.Function = GenFunction::Sweep;
    GeneratorPanelView v;
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.functionEnabled, (std::array<bool, 5>{false, true, false, false, false}));
    EXPECT_EQ(v.first.min, 1);
    EXPECT_EQ(v.second.min, 1);
    EXPECT_FALSE(v.shapesEnabled);
    s.system.DebugMode = true;
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.first.min, 0);
}

TEST(PanelView, ScrollBarsFollowTheFunction) {
    InstrumentState s = english();
    GeneratorState& g = s.generator;
    g.FFast = 11;
    g.FSlow = 12;
    g.FStart = 21;
    g.FSweep = 22;
    g.TPulse = 31;
    g.TPer = 32;
    g.AwgCoarse = 41;
    g.AwgFine = 42;
    GeneratorPanelView v;
    const std::pair<GenFunction, std::pair<int, int>> cases[] = {{GenFunction::Plain, {11, 12}},
                                                                 {GenFunction::Modulation, {11, 12}},
                                                                 {GenFunction::Sweep, {21, 22}},
                                                                 {GenFunction::Pulse, {31, 32}},
                                                                 {GenFunction::Awg, {41, 42}}};
    for (const auto& [fn, values] : cases) {
        g.Function = fn;
        generatorPanelView(s, {}, v);
        EXPECT_EQ(v.first.value, values.first);
        EXPECT_EQ(v.second.value, values.second);
    }
}

TEST(PanelView, AmplitudeBarShowsTheAppliedAmplitudeFromTheTop) {
    InstrumentState s = english();
    GeneratorPanelView v;
    s.generator.Ampl = 3000;
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.amplitudePosition, 1000);
    s.generator.DC_Shift = 3000; // leaves 300 mV above
    generatorPanelView(s, {}, v);
    EXPECT_EQ(v.amplitudePosition, 3700);
    EXPECT_TRUE(scrollAmplitude(s.generator, 1500));
    EXPECT_EQ(s.generator.Ampl, 2500);
    EXPECT_FALSE(scrollAmplitude(s.generator, 1500));
}

TEST(PanelView, AwgRunIndicatorFromTheStatus) {
    InstrumentState s = english();
    GeneratorPanelView v;
    const std::pair<int, AwgRunIndicator> cases[] = {{-1, AwgRunIndicator::ButtonFace},
                                                     {1, AwgRunIndicator::ButtonFace},
                                                     {3, AwgRunIndicator::ButtonFace},
                                                     {2, AwgRunIndicator::Faded},
                                                     {0, AwgRunIndicator::Full}};
    for (const auto& [state, indicator] : cases) {
        AwgPanelStatus awg;
        awg.awgState = state;
        generatorPanelView(s, awg, v);
        EXPECT_EQ(v.runIndicator, indicator) << state;
    }
}

TEST(PanelEdits, RangeButtonsSetTheFrequencyOrThePulseRange) {
    GeneratorState g;
    EXPECT_TRUE(clickRange(g, 5));
    EXPECT_EQ(g.FMult, 5);
    EXPECT_FALSE(clickRange(g, 5));
    g.Function = GenFunction::Pulse;
    EXPECT_TRUE(clickRange(g, 0));
    EXPECT_EQ(g.TMult, 5) << "the 10 K button is the 5 S range";
    EXPECT_EQ(g.FMult, 5);
    clickRange(g, 5);
    EXPECT_EQ(g.TMult, 0);
}

TEST(PanelEdits, FunctionButtonsAreExclusive) {
    GeneratorState g;
    EXPECT_TRUE(clickFunction(g, GenFunction::Modulation, true));
    EXPECT_EQ(g.Function, GenFunction::Modulation);
    EXPECT_TRUE(clickFunction(g, GenFunction::Awg, true));
    EXPECT_EQ(g.Function, GenFunction::Awg);
    EXPECT_FALSE(clickFunction(g, GenFunction::Pulse, false)) << "releasing another button";
    EXPECT_TRUE(clickFunction(g, GenFunction::Awg, false));
    EXPECT_EQ(g.Function, GenFunction::Plain);
    EXPECT_TRUE(clickShape(g, GenShape::Triangle));
    EXPECT_EQ(g.Shape, GenShape::Triangle);
}

TEST(PanelEdits, StartNeverPassesStopNorWidthThePeriod) {
    for (const GenFunction fn : {GenFunction::Sweep, GenFunction::Pulse}) {
        GeneratorState g;
        g.Function = fn;
        std::int32_t& first = fn == GenFunction::Sweep ? g.FStart : g.TPulse;
        std::int32_t& second = fn == GenFunction::Sweep ? g.FSweep : g.TPer;
        first = 1000;
        second = 2000;
        EXPECT_TRUE(scrollFirst(g, 1500));
        EXPECT_EQ(second, 2000);
        EXPECT_TRUE(scrollFirst(g, 3000));
        EXPECT_EQ(first, 3000);
        EXPECT_EQ(second, 3000) << "the second follows the first up";
        EXPECT_TRUE(scrollSecond(g, 500));
        EXPECT_EQ(second, 500);
        EXPECT_EQ(first, 500) << "the first follows the second down";
        EXPECT_TRUE(scrollSecond(g, 20000));
        EXPECT_EQ(second, 10000);
    }
    // The other functions edit two independent values.
    for (const GenFunction fn : {GenFunction::Plain, GenFunction::Modulation, GenFunction::Awg}) {
        GeneratorState g;
        g.Function = fn;
        EXPECT_TRUE(scrollFirst(g, 9000));
        EXPECT_TRUE(scrollSecond(g, 3));
        const bool awg = fn == GenFunction::Awg;
        EXPECT_EQ(awg ? g.AwgCoarse : g.FFast, 9000);
        EXPECT_EQ(awg ? g.AwgFine : g.FSlow, 3);
    }
}

TEST(PanelEdits, DoubleClicks) {
    GeneratorState g;
    using enum PanelSpot;
    using D = PanelDoubleClick;
    for (const PanelSpot spot : {Panel, LabelMod, LabelPulse, LabelVrms})
        EXPECT_EQ(doubleClickAction(g, spot, true), D::GeneratorDialog);
    EXPECT_EQ(doubleClickAction(g, LabelF, true), D::None);
    EXPECT_EQ(doubleClickAction(g, LabelV, true), D::None);
    g.Function = GenFunction::Awg;
    for (const PanelSpot spot : {Panel, LabelMod, LabelPulse, LabelVrms})
        EXPECT_EQ(doubleClickAction(g, spot, false), D::AwgFileDialog);
    EXPECT_EQ(doubleClickAction(g, LabelF, true), D::DefaultPeriod);
    EXPECT_EQ(doubleClickAction(g, LabelV, true), D::DefaultAmplitude);
    EXPECT_EQ(doubleClickAction(g, LabelF, false), D::None) << "no program loaded";
    EXPECT_EQ(doubleClickAction(g, LabelV, false), D::None);
}

} // namespace
} // namespace kx::generator
