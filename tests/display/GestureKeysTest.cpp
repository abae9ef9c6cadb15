// SPDX-License-Identifier: GPL-3.0-or-later
#include "GestureFixture.h"

#include "core/ScopeTables.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace {

using namespace kx::display;
using namespace kx::display::testing;
using kx::core::FrameHeader;
using kx::core::InstrumentState;
using kx::core::timeBaseIndexOf;

constexpr Availability kNothingYet{};
constexpr Availability kEverything{true, true};

class Keys : public ::testing::Test {
protected:
    ScreenGeometry g = designGeometry();
    FrameHeader h;
    InstrumentState s = twoChannels();

    GestureResult key(Key k, bool ctrl = false, bool shift = false, int scrollMax = 1000,
                      Availability available = kEverything) {
        KeyEvent e;
        e.key = k;
        e.ctrl = ctrl;
        e.shift = shift;
        e.scrollMax = scrollMax;
        e.available = available;
        return keyPress(s, g, h, e);
    }
};

// --- time base and volts per division ------------------------------------------------------------

TEST_F(Keys, LeftAndRightStepTheTimeBaseWithinTheEnabledButtons) {
    struct Case {
        const char* name;
        Key k;
        bool ctrl, shift;
        bool analyzer, debug;
        std::int64_t from;
        std::optional<std::int64_t> to;
    };
    const Case cases[] = {
        {"LeftIsSlower", Key::Left, false, false, false, false, 1'000'000, 2'000'000},
        {"RightIsFaster", Key::Right, false, false, false, false, 1'000'000, 500'000},
        {"SlowestEnd", Key::Left, false, false, false, false, 1'000'000'000'000, std::nullopt},
        {"FastestEnd", Key::Right, false, false, false, false, 2, std::nullopt},
        {"CtrlIsNotPlain", Key::Left, true, false, false, false, 1'000'000, std::nullopt},
        {"ShiftIsNotPlain", Key::Right, false, true, false, false, 1'000'000, std::nullopt},
        // The analysers grey the fast time bases out, except in debug mode.
        {"AnalyserStopsAboveTheGreyedButtons", Key::Right, false, false, true, false, 500'000, std::nullopt},
        {"AnalyserInDebugMode", Key::Right, false, false, true, true, 500'000, 200'000},
        {"AnalyserSlower", Key::Left, false, false, true, false, 500'000, 1'000'000},
    };
    for (const Case& c : cases) {
        s.analyzer.NA = c.analyzer;
        s.system.DebugMode = c.debug;
        s.scope.timeBase = timeBaseIndexOf(c.from);
        const GestureResult r = key(c.k, c.ctrl, c.shift);
        if (c.to) {
            EXPECT_EQ(r.changes.timeBase, timeBaseIndexOf(*c.to)) << c.name;
            EXPECT_EQ(r.notify, Notify::SettingsChanged) << c.name;
        } else {
            EXPECT_FALSE(r.changes.timeBase) << c.name;
        }
    }
}

TEST_F(Keys, UpAndDownStepVoltsPerDivisionWithinTheRangesTheModelOffers) {
    struct Case {
        const char* name;
        int model;
        bool lowVolts;
        Key k;
        bool ctrl, shift;
        int a1, a2;
        std::optional<int> a1After, a2After;
    };
    const Case cases[] = {
        {"UpIsLargerOnA1", 0x23, false, Key::Up, false, false, 1, 1, 0, std::nullopt},
        {"DownIsSmallerOnA1", 0x23, false, Key::Down, false, false, 1, 1, 2, std::nullopt},
        {"TwoVoltsIsTheTop", 0x23, false, Key::Up, false, false, 0, 1, std::nullopt, std::nullopt},
        {"FiveMillivoltsIsTheBottom", 0x23, false, Key::Down, false, false, 8, 1, std::nullopt, std::nullopt},
        {"LowRangesWhenEnabled", 0x23, true, Key::Down, false, false, 8, 1, 9, std::nullopt},
        {"HalfAMillivoltIsTheEnd", 0x23, true, Key::Down, false, false, 11, 1, std::nullopt, std::nullopt},
        {"CompactFrontEndStopsA1AtTenthOfAVolt", 0x35, false, Key::Up, false, false, 4, 1, std::nullopt,
         std::nullopt},
        {"ShiftUpIsA2", 0x23, false, Key::Up, false, true, 1, 1, std::nullopt, 0},
        {"ShiftDownStopsA2AtFiveMillivolts", 0x23, false, Key::Down, false, true, 1, 8, std::nullopt,
         std::nullopt},
        {"A2OnGeneratorModels", 0x21, false, Key::Down, false, true, 1, 3, std::nullopt, 4},
        {"CompactFrontEndLeavesA2Alone", 0x35, false, Key::Up, false, true, 1, 1, std::nullopt, 0},
        {"NoA2Channel", 0x20, false, Key::Up, false, true, 1, 1, std::nullopt, std::nullopt},
        {"CtrlShiftIsNeither", 0x23, false, Key::Up, true, true, 1, 1, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        s.system.UiDeviceType = c.model;
        s.system.LowVoltsDiv = c.lowVolts;
        s.scope.A1.voltsDiv = c.a1;
        s.scope.A2.voltsDiv = c.a2;
        const GestureResult r = key(c.k, c.ctrl, c.shift);
        EXPECT_EQ(r.changes.voltsDivA1, c.a1After) << c.name;
        EXPECT_EQ(r.changes.voltsDivA2, c.a2After) << c.name;
        EXPECT_EQ(r.notify, c.a1After || c.a2After ? Notify::SettingsChanged : Notify::None) << c.name;
    }
}

TEST_F(Keys, VoltsKeyKeepsTheTriggerLevelOnTheSameVoltage) {
    s.scope.A1.Zero = 0x8000;
    s.trigger.Lev_A1 = 0x8000 + 4096; // half a division above zero at 1 V/div
    s.display.BgScreenZeroA1 = 0x4000;
    s.display.BgTrigLevelA1 = 0x4000 - 2048;
    applyChanges(key(Key::Down).changes, s); // 0.5 V/div
    EXPECT_EQ(s.scope.A1.voltsDiv, 2);
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A1, 0x8000 + 8192);
    EXPECT_DOUBLE_EQ(s.display.BgTrigLevelA1, 0x4000 - 4096);
}

TEST_F(Keys, UpAndDownLeaveA1AloneInTheAnalysers) {
    s.analyzer.AA = true;
    s.analyzer.AaGraph1 = 2; // return loss: no SWR or Q range to step
    const GestureResult r = key(Key::Up);
    EXPECT_FALSE(r.changes.voltsDivA1);
    EXPECT_FALSE(r.changes.any());
}

// --- scroll, run, single -------------------------------------------------------------------------

TEST_F(Keys, ShiftLeftAndRightScrollTenSamplesWithinTheBar) {
    struct Case {
        bool ctrl;
        Key k;
        std::int32_t from;
        int scrollMax;
        std::optional<std::int32_t> to;
    };
    const Case cases[] = {
        {false, Key::Right, 100, 1000, 110},
        {false, Key::Left, 100, 1000, 90},
        {false, Key::Left, 5, 1000, 0},
        {false, Key::Right, 995, 1000, 1000},
        {false, Key::Left, 0, 1000, std::nullopt},
        {false, Key::Right, 0, 0, std::nullopt},
        {true, Key::Right, 100, 1000, 110}, // Ctrl does not matter here
    };
    for (const Case& c : cases) {
        s.scope.X_Pos = c.from;
        const GestureResult r = key(c.k, c.ctrl, true, c.scrollMax);
        EXPECT_EQ(r.changes.X_Pos, c.to) << c.from;
        EXPECT_EQ(r.notify, c.to ? Notify::Refresh : Notify::None) << c.from;
        EXPECT_FALSE(r.changes.timeBase);
    }
}

TEST_F(Keys, SpaceAndEnterRunTheirButtonsWhateverTheModifiers) {
    for (bool ctrl : {false, true})
        for (bool shift : {false, true}) {
            GestureResult r = key(Key::Space, ctrl, shift);
            EXPECT_TRUE(r.toggleRun);
            EXPECT_FALSE(r.toggleSingle);
            EXPECT_FALSE(r.changes.any());
            r = key(Key::Enter, ctrl, shift);
            EXPECT_TRUE(r.toggleSingle);
            EXPECT_FALSE(r.toggleRun);
        }
    const GestureResult r = key(Key::Other);
    EXPECT_FALSE(r.handled);
    EXPECT_FALSE(r.toggleRun || r.toggleSingle || r.changes.any());
}

// --- spectrum ------------------------------------------------------------------------------------

TEST_F(Keys, FSwitchesBetweenTheSpectraThroughTheMenu) {
    struct Case {
        const char* name;
        bool viewA1, viewA2;
        bool a1Shown, a2Shown;
        bool ctrl;
        std::string_view item;
    };
    const Case cases[] = {
        {"NoneYetTakesA1", false, false, true, true, false, "Menu_FFT_A1"},
        {"NoneYetA1Hidden", false, false, false, true, false, "Menu_FFT_A2"},
        {"NoneYetNoChannel", false, false, false, false, false, ""},
        {"A1ToA2", true, false, true, true, false, "Menu_FFT_A2"},
        {"CtrlSwitchesA1Off", true, false, true, true, true, "Menu_FFT_A1"},
        {"A1OffWhenA2IsHidden", true, false, true, false, false, "Menu_FFT_A1"},
        {"A2ToA1", false, true, true, true, false, "Menu_FFT_A1"},
        {"CtrlSwitchesA2Off", false, true, true, true, true, "Menu_FFT_A2"},
        {"A2OffWhenA1IsHidden", false, true, false, true, false, "Menu_FFT_A2"},
    };
    for (const Case& c : cases) {
        s.fft.View_A1 = c.viewA1;
        s.fft.View_A2 = c.viewA2;
        s.scope.A1.shown = c.a1Shown;
        s.scope.A2.shown = c.a2Shown;
        const GestureResult r = key(Key::F, c.ctrl);
        EXPECT_EQ(r.menuItem, c.item) << c.name;
        EXPECT_FALSE(r.changes.any()) << c.name; // the menu handler does the rest
    }
    const GestureResult r = key(Key::F, false, false, 1000, kNothingYet);
    EXPECT_TRUE(r.notAvailable);
    EXPECT_TRUE(r.menuItem.empty());
}

TEST_F(Keys, SpectrumOptionKeys) {
    struct Case {
        const char* name;
        Key k;
        bool ctrl, shift;
        bool fftChecked, aveOn;
        int ave, zoom, model;
        std::optional<bool> aveOnAfter;
        std::optional<int> aveAfter;
        std::optional<bool> db15, calcBoth, dbv;
        std::optional<int> zoomAfter;
    };
    const std::nullopt_t no = std::nullopt;
    const Case cases[] = {
        {"CtrlNTogglesAveraging", Key::N, true, false, true, false, 3, 0, 0x23, true, no, no, no, no, no},
        {"NStepsTheAverages", Key::N, false, false, true, true, 3, 0, 0x23, no, 4, no, no, no, no},
        {"NWrapsToTwoFrames", Key::N, false, false, true, true, 6, 0, 0x23, no, 0, no, no, no, no},
        {"NWithoutAveraging", Key::N, false, false, true, false, 3, 0, 0x23, no, no, no, no, no, no},
        {"CtrlD15dB", Key::D, true, false, true, false, 3, 0, 0x23, no, no, true, no, no, no},
        {"PlainDNothing", Key::D, false, false, true, false, 3, 0, 0x23, no, no, no, no, no, no},
        {"CtrlWBothChannels", Key::W, true, false, true, false, 3, 0, 0x23, no, no, no, true, no, no},
        {"CtrlWWithGeneratorAsA2", Key::W, true, false, true, false, 3, 0, 0x21, no, no, no, true, no, no},
        {"CtrlWWithoutA2", Key::W, true, false, true, false, 3, 0, 0x20, no, no, no, no, no, no},
        {"VVolts", Key::V, false, false, true, false, 3, 0, 0x23, no, no, no, no, true, no},
        {"ShiftVVoltsToo", Key::V, false, true, true, false, 3, 0, 0x23, no, no, no, no, true, no},
        {"CtrlRightZoomsIn", Key::Right, true, false, true, false, 3, 0, 0x23, no, no, no, no, no, 1},
        {"CtrlLeftAtOne", Key::Left, true, false, true, false, 3, 0, 0x23, no, no, no, no, no, no},
        {"CtrlRightAtTheEnd", Key::Right, true, false, true, false, 3, 8, 0x23, no, no, no, no, no, no},
        {"NoSpectrumNoOptions", Key::N, true, false, false, false, 3, 0, 0x23, no, no, no, no, no, no},
        {"NoSpectrumNoVolts", Key::V, false, false, false, false, 3, 0, 0x23, no, no, no, no, no, no},
    };
    for (const Case& c : cases) {
        s = twoChannels();
        s.system.UiDeviceType = c.model;
        s.fft.View_A1 = c.fftChecked;
        s.fft.Ave_On = c.aveOn;
        s.fft.Ave = c.ave;
        s.fft.Zoom = c.zoom;
        const GestureResult r = key(c.k, c.ctrl, c.shift);
        EXPECT_EQ(r.changes.fftAveOn, c.aveOnAfter) << c.name;
        EXPECT_EQ(r.recomputeSpectra, c.aveOnAfter.has_value() || c.aveAfter.has_value()) << c.name;
        EXPECT_EQ(r.changes.fftAve, c.aveAfter) << c.name;
        EXPECT_EQ(r.changes.fft15dB, c.db15) << c.name;
        EXPECT_EQ(r.changes.fftCalcBoth, c.calcBoth) << c.name;
        EXPECT_EQ(r.changes.fftDbvToVolt, c.dbv) << c.name;
        EXPECT_EQ(r.changes.fftZoom, c.zoomAfter) << c.name;
        EXPECT_FALSE(r.changes.timeBase || r.changes.voltsDivA1) << c.name;
        EXPECT_EQ(r.notify, r.changes.any() ? Notify::Refresh : Notify::None) << c.name;
    }
}

TEST_F(Keys, SpectrumKeysAnswerNotAvailableUntilSpectraExist) {
    s.fft.View_A1 = true;
    for (Key k : {Key::N, Key::D, Key::W, Key::V, Key::Right}) {
        const GestureResult r = key(k, true, false, 1000, kNothingYet);
        EXPECT_TRUE(r.notAvailable) << static_cast<int>(k);
        EXPECT_FALSE(r.changes.any()) << static_cast<int>(k);
    }
}

// --- analysers -----------------------------------------------------------------------------------

TEST_F(Keys, AnalyserScaleKeys) {
    struct Case {
        const char* name;
        bool na, aa;
        int graph1;
        Key k;
        bool ctrl, shift;
        std::optional<int> naRange, impRange, swrRange, qRange, zoom;
    };
    const std::nullopt_t no = std::nullopt;
    const Case cases[] = {
        {"NaUpIsCoarser", true, false, 1, Key::Up, false, false, 5, no, no, no, no},
        {"NaDownIsFiner", true, false, 1, Key::Down, false, false, 3, no, no, no, no},
        {"NaOnlyPlain", true, false, 1, Key::Up, true, false, no, no, no, no, no},
        {"AaCtrlUpImpedance", false, true, 1, Key::Up, true, false, no, 7, no, no, no},
        {"AaCtrlDownImpedance", false, true, 1, Key::Down, true, false, no, 5, no, no, no},
        {"AaUpSwr", false, true, 1, Key::Up, false, false, no, no, 3, no, no},
        {"AaUpQ", false, true, 3, Key::Up, false, false, no, no, no, 1, no},
        {"AaDownQAtTheEnd", false, true, 3, Key::Down, false, false, no, no, no, no, no},
        {"AaReturnLossHasNoRange", false, true, 2, Key::Up, false, false, no, no, no, no, no},
        {"AaNotWithShift", false, true, 1, Key::Up, false, true, no, no, no, no, no},
        {"ZoomIn", true, false, 1, Key::Right, true, false, no, no, no, no, 1},
        {"ZoomOutAtOneToOne", true, false, 1, Key::Left, true, false, no, no, no, no, no},
        {"ZoomNotWithShift", false, true, 1, Key::Right, true, true, no, no, no, no, no},
    };
    for (const Case& c : cases) {
        s = twoChannels();
        s.analyzer.NA = c.na;
        s.analyzer.AA = c.aa;
        s.analyzer.AaGraph1 = c.graph1;
        const GestureResult r = key(c.k, c.ctrl, c.shift);
        EXPECT_EQ(r.changes.naAmpRange, c.naRange) << c.name;
        EXPECT_EQ(r.changes.aaImpRange, c.impRange) << c.name;
        EXPECT_EQ(r.changes.aaSwrRange, c.swrRange) << c.name;
        EXPECT_EQ(r.changes.aaQRange, c.qRange) << c.name;
        EXPECT_EQ(r.changes.iqZoom, c.zoom) << c.name;
        EXPECT_FALSE(r.changes.voltsDivA1 || r.changes.timeBase) << c.name;
    }
    s = twoChannels();
    s.analyzer.NA = true;
    const GestureResult r = key(Key::Up, false, false, 1000, kNothingYet);
    EXPECT_TRUE(r.notAvailable);
    EXPECT_FALSE(r.changes.any());
}

TEST_F(Keys, EveryMatchingRowFires) {
    // Ctrl+Right with an analyser and a spectrum: both zooms.
    s.analyzer.NA = true;
    s.fft.View_A1 = true;
    GestureResult r = key(Key::Right, true);
    EXPECT_EQ(r.changes.iqZoom, 1);
    EXPECT_EQ(r.changes.fftZoom, 1);

    // Ctrl+Shift+Left with a spectrum: zoom out and scroll back.
    s = twoChannels();
    s.fft.View_A1 = true;
    s.fft.Zoom = 3;
    s.scope.X_Pos = 50;
    r = key(Key::Left, true, true);
    EXPECT_EQ(r.changes.fftZoom, 2);
    EXPECT_EQ(r.changes.X_Pos, 40);
    EXPECT_FALSE(r.changes.timeBase);

    // Shift+Up in the antenna analyser is A2's range, not the analyser's.
    s = twoChannels();
    s.analyzer.AA = true;
    r = key(Key::Up, false, true);
    EXPECT_EQ(r.changes.voltsDivA2, 0);
    EXPECT_FALSE(r.changes.aaSwrRange);
    EXPECT_EQ(r.notify, Notify::SettingsChanged);
}

} // namespace
