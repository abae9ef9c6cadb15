// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GenDialogModel.h"

#include "core/DeviceModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

namespace kx::generator {
namespace {

using core::GeneratorState;
using core::GenFunction;
using core::InstrumentState;

InstrumentState english() {
    InstrumentState s;
    s.system.RussianUi = false;
    s.system.UiDeviceType = core::kKX4823;
    return s;
}

TEST(GenDialogTexts, DcLabelFollowsTheModeExceptInAwg) {
    InstrumentState s = english();
    s.generator.DC_Shift = 1250;
    const char* english[] = {"Most Negativ Level = 1.250 V", "DC Level = 1.250 V",
                             "Most Positive Level = 1.250 V", "Symmetry Level = 1.250 V"};
    const char* russian[] = {"Минимальный уровень = 1.250 V", "Постоянная составляющая = 1.250 V",
                             "Максимальный уровень = 1.250 V", "Уровень симметрии = 1.250 V"};
    for (int mode = 0; mode < 4; ++mode) {
        s.generator.GEN_DC_Mode = mode;
        s.system.RussianUi = false;
        EXPECT_EQ(genDialogView(s).dcLabel, english[mode]);
        s.system.RussianUi = true;
        EXPECT_EQ(genDialogView(s).dcLabel, russian[mode]);
    }
    s.system.RussianUi = false;
    s.generator.Function = GenFunction::Awg;
    s.generator.DC_Shift = -300;
    EXPECT_EQ(genDialogView(s).dcLabel, "Most Negativ Level = -0.300 V");
    EXPECT_FALSE(genDialogView(s).dcModesEnabled);
}

TEST(GenDialogTexts, ModulationLabels) {
    struct Case {
        int type, src, df, param;
        bool russian;
        const char* param_label;
        const char* freq_label;
    };
    const Case cases[] = {
        {core::kModAm, 0, 0, 700, false, "K AM = 70.0%", "Mod. Sig. Freq. = 100 Hz"},
        {core::kModAm, 1, 0, 1000, false, "K AM = 25.000% / Div", "Mod. Sig. Freq. = 100 Hz"},
        {core::kModFm, 0, 0, 700, false, "Dev. FM = 7.000 KHz", "Mod. Sig. Freq. = 100 Hz"},
        {core::kModFm, 0, 1, 1000, false, "Dev. FM = 100.0 KHz", "Mod. Sig. Freq. = 100 Hz"},
        {core::kModFm, 2, 1, 1000, true, "Девиация ЧМ = 2.000 KHz / Дел", "Частота мод. сигнала = 100 Hz"},
        {core::kModPm, 0, 0, 1000, false, "Index. PM (x90 Grad.) = 10.00", "Mod. Sig. Freq. = 100 Hz"},
        {core::kModPm, 1, 0, 1000, true, "Индекс ФМ (x90 Град.) = 2.000 / Дел",
         "Частота мод. сигнала = 100 Hz"},
        {core::kModSum, 0, 0, 5, false, "Sum. Level = 0.5%", "Sum. Sig. Freq. = 100 Hz"},
        {core::kModSum, 0, 0, 5, true, "Уровень сум. сигнала = 0.5%", "Частота сум. сигнала = 100 Hz"},
        {core::kModAm, 2, 0, 7, true, "Коэффициент АМ = 0.175% / Div", "Частота мод. сигнала = 100 Hz"},
    };
    for (const Case& c : cases) {
        InstrumentState s = english();
        s.system.RussianUi = c.russian;
        s.generator.Mod_Type = c.type;
        s.generator.Mod_Src = c.src;
        s.generator.DF_Mult = c.df;
        s.generator.Mod_Param = c.param;
        const GenDialogView v = genDialogView(s);
        EXPECT_EQ(v.modParamLabel, c.param_label);
        EXPECT_EQ(v.mfLabel, c.freq_label);
    }
    InstrumentState s = english();
    s.generator.MF_Shape = core::kMfShapeNoise;
    EXPECT_EQ(genDialogView(s).mfLabel, "Mod. Sig. Freq. = Noise");
}

TEST(GenDialogTexts, TimeMatchingAndLoad) {
    InstrumentState s = english();
    GenDialogView v = genDialogView(s);
    EXPECT_EQ(v.timeMatchLabel, "Time Matching 0.000 nS");
    EXPECT_EQ(v.timeMatchRaw, "195");
    EXPECT_EQ(v.loadLabel, "External Load R = inf  (1.000)");
    s.generator.Gen_Match = 227;
    s.generator.Gen_Load = 500;
    v = genDialogView(s);
    EXPECT_EQ(v.timeMatchLabel, "Time Matching 5.000 nS");
    EXPECT_EQ(v.loadLabel, "External Load R = 50.00 Ohm  (0.500)");
    s.system.RussianUi = true;
    s.generator.Gen_Match = 16;
    s.generator.Gen_Load = 0;
    v = genDialogView(s);
    EXPECT_EQ(v.timeMatchLabel, "Сопряжение с каналами -27.969 nS");
    EXPECT_EQ(v.loadLabel, "Внешняя нагрузка R = 0.000 mOhm  (0.000)");
}

TEST(GenDialogRules, InternalSourceNoiseAndRanges) {
    InstrumentState s = english();
    GeneratorState& g = s.generator;
    GenDialogView v = genDialogView(s);
    EXPECT_TRUE(v.modRangeEnabled && v.noiseEnabled && v.mfLabelEnabled && v.mfBarsEnabled);
    EXPECT_EQ(v.shapeEnabled, (std::array<bool, 5>{true, true, true, true, true}));
    EXPECT_FALSE(v.deviationEnabled);

    // Noise: no shape and no frequency to set.
    EXPECT_TRUE(applyGenControl(g, GenControl::ModNoise, 1));
    EXPECT_EQ(g.MF_Shape, core::kMfShapeNoise);
    v = genDialogView(s);
    EXPECT_EQ(v.modShape, -1);
    EXPECT_EQ(v.shapeEnabled, (std::array<bool, 5>{}));
    EXPECT_FALSE(v.mfBarsEnabled);
    EXPECT_TRUE(v.noiseEnabled && v.modRangeEnabled);
    applyGenControl(g, GenControl::ModNoise, 0);
    EXPECT_EQ(g.MF_Shape, 0);

    // The fast ranges carry a sine only.
    applyGenControl(g, GenControl::ModShape, 3);
    EXPECT_EQ(g.MF_Shape, 3);
    EXPECT_TRUE(applyGenControl(g, GenControl::ModRange, 3));
    EXPECT_EQ(g.MF_Shape, 0) << "sine forced at 10 M";
    v = genDialogView(s);
    EXPECT_EQ(v.shapeEnabled, (std::array<bool, 5>{true, false, false, false, false}));
    applyGenControl(g, GenControl::ModNoise, 1);
    applyGenControl(g, GenControl::ModRange, 4);
    EXPECT_EQ(g.MF_Shape, core::kMfShapeNoise) << "noise stays";

    // An external source: the internal generator's controls go grey.
    applyGenControl(g, GenControl::ModSource, 3);
    v = genDialogView(s);
    EXPECT_FALSE(v.modRangeEnabled || v.noiseEnabled || v.mfLabelEnabled || v.mfBarsEnabled);
    EXPECT_EQ(v.shapeEnabled, (std::array<bool, 5>{}));

    applyGenControl(g, GenControl::ModType, core::kModFm);
    v = genDialogView(s);
    EXPECT_TRUE(v.deviationEnabled);
    EXPECT_EQ(v.deviationCaption, (std::array<std::string, 2>{"10K", "100K"}));
    applyGenControl(g, GenControl::ModSource, core::kModSrcA1);
    EXPECT_EQ(genDialogView(s).deviationCaption, (std::array<std::string, 2>{"2K", "20K"}));

    s.system.DebugMode = true;
    g.Gen_200MHz = true;
    EXPECT_EQ(genDialogView(s).modRangeCaption[4], "200M");
}

TEST(GenDialogRules, SourcesByModelAndStroboscopicSampling) {
    InstrumentState s = english();
    GeneratorState& g = s.generator;
    GenDialogView v = genDialogView(s);
    EXPECT_EQ(v.sourceVisible, (std::array<bool, 9>{true, true, true, true, true, true, true, true, true}));
    EXPECT_EQ(v.sourceEnabled, v.sourceVisible);

    s.system.UiDeviceType = core::kKX4821; // the generator feeds A2 inside
    v = genDialogView(s);
    EXPECT_FALSE(v.sourceVisible[2]);
    EXPECT_TRUE(v.sourceEnabled[2]);
    s.system.UiDeviceType = core::kKX4820; // no A2 channel at all
    EXPECT_FALSE(genDialogView(s).sourceEnabled[2]);

    s.system.UiDeviceType = core::kKX4823;
    s.scope.Strobo = true;
    g.Function = GenFunction::Modulation;
    g.On = true;
    v = genDialogView(s);
    EXPECT_EQ(v.sourceEnabled,
              (std::array<bool, 9>{true, false, false, false, false, false, false, true, true}));
    for (auto off :
         std::initializer_list<std::function<void()>>{[&] { s.scope.Strobo = false; }, [&] { g.On = false; },
                                                      [&] { g.Function = GenFunction::Plain; }}) {
        InstrumentState saved = s;
        off();
        EXPECT_TRUE(genDialogView(s).sourceEnabled[1]);
        s = saved;
    }
}

TEST(GenDialogRules, DebugAnalyzerAndCompactFrontEnd) {
    InstrumentState s = english();
    GenDialogView v = genDialogView(s);
    EXPECT_FALSE(v.debugControlsVisible);
    EXPECT_TRUE(v.sinxEnabled);
    EXPECT_TRUE(v.dcGroupVisible);
    s.analyzer.NA = true;
    EXPECT_FALSE(genDialogView(s).sinxEnabled);
    s.system.DebugMode = true;
    v = genDialogView(s);
    EXPECT_TRUE(v.sinxEnabled);
    EXPECT_TRUE(v.debugControlsVisible);
    s.system.UiDeviceType = core::kTRM207Mini;
    EXPECT_FALSE(genDialogView(s).dcGroupVisible);
}

TEST(GenDialogControls, ValuesAreLimitedAndButtonsSetTheirValue) {
    GeneratorState g;
    struct Case {
        GenControl control;
        int value;
        std::int32_t GeneratorState::*field;
        std::int32_t expected;
    };
    const Case cases[] = {
        {GenControl::DcShift, 5000, &GeneratorState::DC_Shift, 3300},
        {GenControl::DcShift, -5000, &GeneratorState::DC_Shift, -3000},
        {GenControl::DcZero, 0, &GeneratorState::DC_Shift, 0},
        {GenControl::DcMode, 3, &GeneratorState::GEN_DC_Mode, 3},
        {GenControl::ModSource, 8, &GeneratorState::Mod_Src, 8},
        {GenControl::Inversion, 1, &GeneratorState::Inv, 1},
        {GenControl::MfFast, 12000, &GeneratorState::MF_Fast, 10000},
        {GenControl::MfSlow, 7, &GeneratorState::MF_Slow, 7},
        {GenControl::ModParam, 1001, &GeneratorState::Mod_Param, 1000},
        {GenControl::DeviationRange, 1, &GeneratorState::DF_Mult, 1},
        {GenControl::AuxOutput, 6, &GeneratorState::Gen_Extra_Sel, 6},
        {GenControl::TimeMatch, 10, &GeneratorState::Gen_Match, 16},
        {GenControl::Load, 800, &GeneratorState::Gen_Load, 800},
        {GenControl::Load50Ohm, 0, &GeneratorState::Gen_Load, 500},
        {GenControl::SinxCorr, 2, &GeneratorState::Gen_Sinxx_Corr, 2},
    };
    for (const Case& c : cases) {
        applyGenControl(g, c.control, c.value);
        EXPECT_EQ(g.*c.field, c.expected) << static_cast<int>(c.control);
    }
    EXPECT_FALSE(applyGenControl(g, GenControl::Load50Ohm, 0)) << "nothing changed";
    applyGenControl(g, GenControl::AuxInv, 1);
    applyGenControl(g, GenControl::DacCorr, 0);
    applyGenControl(g, GenControl::UpTo200, 1);
    applyGenControl(g, GenControl::Test, 1);
    EXPECT_TRUE(g.Gen_Extra_Inv && !g.Gen_Corr && g.Gen_200MHz && g.Gen_Test);
}

TEST(GenDialogCancel, RestoresEveryFieldAndReportsADifference) {
    GeneratorState g;
    g.DC_Shift = 4000; // out of range, as a hand-edited settings file may leave it
    const GenDialogFields opened = openGenDialog(g);
    EXPECT_EQ(g.DC_Shift, 3300);
    EXPECT_FALSE(restoreGenDialog(opened, g)) << "nothing changed, nothing to apply";

    const GeneratorState before = g;
    for (const auto& [control, value] :
         std::initializer_list<std::pair<GenControl, int>>{{GenControl::DcShift, -100},
                                                           {GenControl::DcMode, 2},
                                                           {GenControl::ModType, 1},
                                                           {GenControl::ModSource, 4},
                                                           {GenControl::Inversion, 1},
                                                           {GenControl::ModRange, 2},
                                                           {GenControl::ModNoise, 1},
                                                           {GenControl::MfFast, 5},
                                                           {GenControl::MfSlow, 6},
                                                           {GenControl::ModParam, 10},
                                                           {GenControl::DeviationRange, 1},
                                                           {GenControl::AuxOutput, 4},
                                                           {GenControl::AuxInv, 1},
                                                           {GenControl::TimeMatch, 200},
                                                           {GenControl::Load, 10},
                                                           {GenControl::SinxCorr, 0},
                                                           {GenControl::DacCorr, 0},
                                                           {GenControl::UpTo200, 1},
                                                           {GenControl::Test, 1}})
        applyGenControl(g, control, value);
    // Fields outside the dialog stay as they are.
    g.FFast = 777;
    ASSERT_NE(genDialogFields(g), genDialogFields(before));
    EXPECT_TRUE(restoreGenDialog(opened, g));
    EXPECT_EQ(genDialogFields(g), genDialogFields(before));
    EXPECT_EQ(g.FFast, 777);
}

} // namespace
} // namespace kx::generator
