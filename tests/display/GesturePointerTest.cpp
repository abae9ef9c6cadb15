// SPDX-License-Identifier: GPL-3.0-or-later
#include "GestureFixture.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace kx::display;
using namespace kx::display::testing;
using kx::core::CursorMode;
using kx::core::FrameHeader;
using kx::core::InstrumentState;

// Rows of markers for the design geometry: a code c sits at row 256 - c / 256.
constexpr int codeAtRow(int row) {
    return (256 - row) * 256;
}

class Pointer : public ::testing::Test {
protected:
    ScreenGeometry g = designGeometry();
    FrameHeader h;
    DragState drag;
    InstrumentState s = twoChannels();

    GestureResult press(int dx, int dy, MouseButton b = MouseButton::Left, bool background = false) {
        PointerEvent e = pressAt(g, dx, dy, b);
        e.backgroundExists = background;
        return pressPointer(s, g, h, e, drag);
    }
    GestureResult move(int dx, int dy, bool right = false) {
        return movePointer(s, g, h, dragAt(g, dx, dy, right), drag);
    }
};

// --- conversions ---------------------------------------------------------------------------

TEST(GestureConversions, PointerOffsetsSurviveTheRoundTripThroughTheStoredPositions) {
    for (int width : {125, 500, 520, 1000}) {
        ScreenGeometry g;
        g.PlotWidth = width;
        for (int x = 0; x <= width; ++x) ASSERT_EQ(cursorColumnOf(g, cursorPositionOf(g, x)), x) << width;
    }
    for (int height : {64, 256, 400, 1024}) {
        ScreenGeometry g;
        g.PlotHeight = height;
        for (int y = 0; y <= height; ++y) {
            ASSERT_EQ(cursorRowOf(g, codeFromTopOf(g, y)), y) << height;
            ASSERT_EQ(markerRowOf(g, codeFromBottomOf(g, y)), y) << height;
        }
    }
}

TEST(GestureConversions, OffsetsOutsideThePlotGiveTheEdgeValues) {
    const ScreenGeometry g = designGeometry();
    EXPECT_EQ(cursorPositionOf(g, -30), 0);
    EXPECT_EQ(cursorPositionOf(g, 900), 5000);
    EXPECT_EQ(codeFromTopOf(g, -1), 0);
    EXPECT_EQ(codeFromTopOf(g, 257), 65536);
    EXPECT_EQ(codeFromBottomOf(g, -1), 65536);
    EXPECT_EQ(codeFromBottomOf(g, 257), 0);
    EXPECT_EQ(codeFromBottomOf(g, 128), 32768);
}

// --- zero markers ----------------------------------------------------------------------------

struct ZeroCase {
    const char* name;
    bool a1Shown, a2Shown;
    bool bgExists, bgShow;
    int rowA1, rowA2, rowBgA1, rowBgA2;
    int y;
    DragItem expected;
};

class ZeroTies : public Pointer, public ::testing::WithParamInterface<ZeroCase> {};

TEST_P(ZeroTies, NearestMarkerWinsWithTiesInMarkerOrder) {
    const ZeroCase& c = GetParam();
    s.scope.A1.shown = c.a1Shown;
    s.scope.A2.shown = c.a2Shown;
    s.scope.A1.Zero = codeAtRow(c.rowA1);
    s.scope.A2.Zero = codeAtRow(c.rowA2);
    s.display.BgShow = c.bgShow;
    s.display.BgScreenZeroA1 = codeAtRow(c.rowBgA1);
    s.display.BgScreenZeroA2 = codeAtRow(c.rowBgA2);
    const GestureResult r = press(leftMarginDx(), c.y, MouseButton::Left, c.bgExists);
    EXPECT_EQ(drag.DragTarget, c.expected);

    const std::int32_t code = codeFromBottomOf(g, c.y);
    switch (c.expected) {
    case DragItem::ZeroA1:
        EXPECT_EQ(r.changes.ZeroA1, code);
        EXPECT_EQ(r.notify, Notify::SettingsChanged);
        break;
    case DragItem::ZeroA2:
        EXPECT_EQ(r.changes.ZeroA2, code);
        EXPECT_EQ(r.notify, Notify::SettingsChanged);
        break;
    case DragItem::BgZeroA1:
        EXPECT_EQ(r.changes.BgZeroA1, code);
        EXPECT_FALSE(r.changes.ZeroA1);
        EXPECT_EQ(r.notify, Notify::Refresh); // the background is not the instrument's business
        break;
    case DragItem::BgZeroA2:
        EXPECT_EQ(r.changes.BgZeroA2, code);
        EXPECT_EQ(r.notify, Notify::Refresh);
        break;
    default:
        ADD_FAILURE() << "unexpected target";
    }
}

INSTANTIATE_TEST_SUITE_P(Gestures, ZeroTies,
                         ::testing::Values(ZeroCase{"TieBetweenA1AndA2GoesToA1", true, true, false, false, 64,
                                                    192, 0, 0, 128, DragItem::ZeroA1},
                                           ZeroCase{"A2NearerByOneRow", true, true, false, false, 64, 192, 0,
                                                    0, 129, DragItem::ZeroA2},
                                           ZeroCase{"HiddenA1LosesEvenUnderThePointer", false, true, false,
                                                    false, 64, 192, 0, 0, 64, DragItem::ZeroA2},
                                           ZeroCase{"BackgroundShownButNoneTaken", true, true, false, true,
                                                    64, 192, 100, 100, 100, DragItem::ZeroA1},
                                           ZeroCase{"BackgroundTakenButNotShown", true, true, true, false, 64,
                                                    192, 100, 100, 100, DragItem::ZeroA1},
                                           ZeroCase{"BackgroundA1Nearest", true, true, true, true, 64, 192,
                                                    100, 30, 100, DragItem::BgZeroA1},
                                           ZeroCase{"BackgroundTieGoesToBackgroundA1", true, true, true, true,
                                                    64, 192, 100, 100, 100, DragItem::BgZeroA1},
                                           ZeroCase{"BackgroundA2StrictlyNearer", true, true, true, true, 64,
                                                    192, 90, 100, 100, DragItem::BgZeroA2},
                                           ZeroCase{"A2BeforeBackgroundA1OnATie", true, true, true, true, 64,
                                                    100, 100, 200, 100, DragItem::ZeroA2},
                                           ZeroCase{"HiddenChannelsBackgroundMarkerLosesToo", true, false,
                                                    true, true, 64, 192, 150, 100, 100, DragItem::ZeroA1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pointer, ZeroPressCarriesTheTriggerLevelAlongWithinTheCodeRange) {
    struct Case {
        int y;
        double level;
        std::int32_t zero;
        double levelAfter;
    };
    // A1 sits at 0xC000 (row 64); A2 at 0x4000 (row 192) is farther from every pointer row here.
    const Case cases[] = {
        {64, 50000.0, 0xC000, 50000.0}, // on the marker: nothing moves
        {60, 40000.0, 50176, 41024.0},  // four rows up: +1024 codes for both
        {-20, 40000.0, 65536, 56384.0}, // above the plot: zero at the top
        {-20, 60000.0, 65536, 65536.0}, // the level stops at the top
        {120, 10000.0, 34816, 0.0},     // and at the bottom
    };
    for (const Case& c : cases) {
        s.scope.A1.Zero = 0xC000;
        s.trigger.Lev_A1 = c.level;
        const GestureResult r = press(leftMarginDx(), c.y);
        ASSERT_EQ(drag.DragTarget, DragItem::ZeroA1) << c.y;
        EXPECT_EQ(r.changes.ZeroA1, c.zero) << c.y;
        EXPECT_EQ(r.changes.LevelA1, c.levelAfter) << c.y;
    }
    // Below the plot the nearest is A2, and its zero goes to the bottom.
    s.trigger.Lev_A2 = 20000.0;
    const GestureResult r = press(leftMarginDx(), 300);
    EXPECT_EQ(drag.DragTarget, DragItem::ZeroA2);
    EXPECT_EQ(r.changes.ZeroA2, 0);
    EXPECT_EQ(r.changes.LevelA2, 20000.0 - 0x4000);
}

TEST_F(Pointer, MarginsAreDeadInTheAnalysersOrWithoutAnalogChannels) {
    s.analyzer.NA = true;
    for (int dx : {leftMarginDx(), rightMarginDx(g)}) {
        const GestureResult r = press(dx, 64);
        EXPECT_EQ(drag.DragTarget, DragItem::None);
        EXPECT_FALSE(r.changes.any());
        EXPECT_EQ(r.notify, Notify::None);
    }
    s.analyzer.NA = false;
    s.scope.A1.shown = false;
    s.scope.A2.shown = false;
    for (int dx : {leftMarginDx(), rightMarginDx(g)}) {
        const GestureResult r = press(dx, 64);
        EXPECT_EQ(drag.DragTarget, DragItem::None);
        EXPECT_FALSE(r.changes.any());
    }
}

// --- level markers ----------------------------------------------------------------------------

struct LevelCase {
    const char* name;
    bool a1Shown, a2Shown;
    double levelA1, levelA2;
    int y;
    DragItem expected;
};

class LevelTies : public Pointer, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LevelTies, A2OnlyWhenStrictlyNearer) {
    const LevelCase& c = GetParam();
    s.scope.A1.shown = c.a1Shown;
    s.scope.A2.shown = c.a2Shown;
    s.trigger.Lev_A1 = c.levelA1;
    s.trigger.Lev_A2 = c.levelA2;
    const GestureResult r = press(rightMarginDx(g), c.y);
    EXPECT_EQ(drag.DragTarget, c.expected);
    const auto& level = c.expected == DragItem::LevelA1 ? r.changes.LevelA1 : r.changes.LevelA2;
    EXPECT_EQ(level, static_cast<double>(codeFromBottomOf(g, c.y)));
    EXPECT_EQ(r.notify, Notify::SettingsChanged);
    EXPECT_FALSE(r.changes.ZeroA1 || r.changes.ZeroA2);
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, LevelTies,
    ::testing::Values(
        LevelCase{"TieGoesToA1", true, true, 49152, 16384, 128, DragItem::LevelA1},
        LevelCase{"A2NearerByOneRow", true, true, 49152, 16384, 129, DragItem::LevelA2},
        LevelCase{"HiddenA2Loses", true, false, 49152, 16384, 192, DragItem::LevelA1},
        LevelCase{"HiddenA1Loses", false, true, 49152, 16384, 64, DragItem::LevelA2},
        // A level beyond the range is drawn, and hit, at the top edge.
        LevelCase{"LevelAboveTheRangeSitsAtTheTop", true, true, 80000, 60000, 0, DragItem::LevelA1},
        // 32895.6 is drawn as 32896, half a row higher: level with A2's marker.
        LevelCase{"FractionalLevelIsRoundedFirst", true, true, 32895.6, 33024, 127, DragItem::LevelA1}),
    [](const auto& info) { return std::string(info.param.name); });

// --- cursors -----------------------------------------------------------------------------------

struct CursorCase {
    const char* name;
    CursorMode mode;
    MouseButton button;
    int dx, dy;
    DragItem expected;
    std::int32_t value; // the position or code the winner takes
};

class CursorPress : public Pointer, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(CursorPress, NearestLineTakesThePointer) {
    const CursorCase& c = GetParam();
    s.display.cursors = c.mode;
    if (c.mode == CursorMode::Single) {
        s.display.CursorX = 2500;  // column 250
        s.display.CursorY = 32768; // row 128
    } else {
        s.display.CursorX1 = 1000;  // column 100
        s.display.CursorY1 = 16384; // row 64
        s.display.CursorX2 = 4000;  // column 400
        s.display.CursorY2 = 49152; // row 192
    }
    const GestureResult r = press(c.dx, c.dy, c.button);
    ASSERT_EQ(drag.DragTarget, c.expected);
    EXPECT_EQ(r.notify, Notify::Refresh);
    std::optional<std::int32_t> got;
    switch (c.expected) {
    case DragItem::CursorX:
        got = r.changes.CursorX;
        break;
    case DragItem::CursorY:
        got = r.changes.CursorY;
        break;
    case DragItem::CursorX1:
        got = r.changes.CursorX1;
        break;
    case DragItem::CursorY1:
        got = r.changes.CursorY1;
        break;
    case DragItem::CursorX2:
        got = r.changes.CursorX2;
        break;
    case DragItem::CursorY2:
        got = r.changes.CursorY2;
        break;
    default:
        break;
    }
    EXPECT_EQ(got, c.value);
}

constexpr auto kL = MouseButton::Left;
constexpr auto kR = MouseButton::Right;

INSTANTIATE_TEST_SUITE_P(
    Gestures, CursorPress,
    ::testing::Values(
        CursorCase{"SingleTieGoesToTheVerticalLine", CursorMode::Single, kL, 260, 138, DragItem::CursorX,
                   2600},
        CursorCase{"SingleHorizontalStrictlyNearer", CursorMode::Single, kL, 260, 137, DragItem::CursorY,
                   35072},
        CursorCase{"DoubleTieX1BeforeY1", CursorMode::Double, kL, 110, 74, DragItem::CursorX1, 1100},
        CursorCase{"DoubleY1", CursorMode::Double, kL, 110, 73, DragItem::CursorY1, 73 * 256},
        CursorCase{"DoubleTieX2BeforeY2", CursorMode::Double, kL, 390, 182, DragItem::CursorX2, 3900},
        CursorCase{"DoubleTieY1BeforeY2", CursorMode::Double, kL, 250, 128, DragItem::CursorY1, 32768},
        CursorCase{"DoubleY2", CursorMode::Double, kL, 250, 190, DragItem::CursorY2, 190 * 256},
        // The right button lands on half divisions (25 columns, 16 rows), snapped before the
        // nearest line is chosen.
        CursorCase{"RightButtonRoundsDownBelowTheQuarter", CursorMode::Single, kR, 262, 10, DragItem::CursorX,
                   2500},
        CursorCase{"RightButtonRoundsUpFromTheQuarter", CursorMode::Single, kR, 263, 10, DragItem::CursorX,
                   2750},
        CursorCase{"RightButtonNearTheBottom", CursorMode::Single, kR, 237, 250, DragItem::CursorX, 2250},
        CursorCase{"RightButtonRows", CursorMode::Single, kR, 0, 123, DragItem::CursorY, 128 * 256},
        CursorCase{"RightButtonRowAtTheBottom", CursorMode::Single, kR, 0, 256, DragItem::CursorY, 65536},
        CursorCase{"LeftButtonIsNotSnapped", CursorMode::Single, kL, 263, 10, DragItem::CursorX, 2630}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pointer, RightButtonOnTheNarrowestPlotKeepsTheCursorInItsRange) {
    // 125 columns are not a whole number of half divisions: the right edge snaps one column out.
    g.PlotWidth = 125;
    g.PixelsPerDivX = 12;
    s.display.cursors = CursorMode::Single;
    s.display.CursorX = 4800;
    s.display.CursorY = 0;
    const GestureResult r = press(125, 200, MouseButton::Right);
    ASSERT_EQ(drag.DragTarget, DragItem::CursorX);
    EXPECT_EQ(r.changes.CursorX, 5000);
}

TEST_F(Pointer, PressesThatHitNothingChangeNothing) {
    // In the plot without a cursor mode.
    GestureResult r = press(250, 128);
    EXPECT_EQ(drag.DragTarget, DragItem::None);
    EXPECT_FALSE(r.changes.any());
    EXPECT_EQ(r.notify, Notify::None);

    // The middle button does not count at all, not even to end a drag.
    s.display.cursors = CursorMode::Single;
    drag.DragTarget = DragItem::LevelA1;
    r = press(250, 128, MouseButton::Other);
    EXPECT_EQ(drag.DragTarget, DragItem::LevelA1);
    EXPECT_FALSE(r.changes.any());

    // Just above the plot is no cursor zone.
    r = press(250, -1);
    EXPECT_EQ(drag.DragTarget, DragItem::None);
    EXPECT_FALSE(r.changes.any());
    EXPECT_TRUE(drag.HotZoneAbove);
}

// --- drags -------------------------------------------------------------------------------------

TEST_F(Pointer, DraggingTheA1ZeroMovesItsLevelByTheSameCodes) {
    s.scope.A1.Zero = 0xC000;
    s.trigger.Lev_A1 = 50000.0;
    applyChanges(press(leftMarginDx(), 64).changes, s);
    ASSERT_EQ(drag.DragTarget, DragItem::ZeroA1);

    GestureResult r = move(200, 60); // x does not matter for a zero
    EXPECT_EQ(r.notify, Notify::SettingsChanged);
    applyChanges(r.changes, s);
    EXPECT_EQ(s.scope.A1.Zero, 0xC000 + 1024);
    EXPECT_EQ(s.trigger.Lev_A1, 50000.0 + 1024);

    applyChanges(move(200, 62).changes, s);
    EXPECT_EQ(s.scope.A1.Zero, 0xC000 + 512);
    EXPECT_EQ(s.trigger.Lev_A1, 50000.0 + 512);

    r = releasePointer(s, g, h, dragAt(g, 200, 62), drag);
    EXPECT_EQ(drag.DragTarget, DragItem::None);
    EXPECT_EQ(r.notify, Notify::Refresh);
    r = move(200, 10);
    EXPECT_FALSE(r.changes.any());
    EXPECT_EQ(r.notify, Notify::None);
}

TEST_F(Pointer, DragsStopAtThePlotEdges) {
    struct Case {
        DragItem target;
        int dx, dy;
        bool right;
        std::int32_t expected;
    };
    const Case cases[] = {
        {DragItem::CursorX, -40, 100, false, 0},      {DragItem::CursorX, 700, 100, false, 5000},
        {DragItem::CursorX1, 137, 100, true, 1250}, // snapped while the right button is held
        {DragItem::CursorX2, 600, 100, true, 5000},   {DragItem::CursorY, 100, -40, false, 0},
        {DragItem::CursorY1, 100, 400, false, 65536}, {DragItem::CursorY2, 100, 400, true, 65536},
        {DragItem::LevelA1, 100, -40, false, 65536},  {DragItem::LevelA2, 100, 400, false, 0},
        {DragItem::ZeroA1, 100, -400, false, 65536},  {DragItem::BgZeroA2, 100, 400, false, 0},
    };
    for (const Case& c : cases) {
        drag.DragTarget = c.target;
        const GestureResult r = move(c.dx, c.dy, c.right);
        const auto& ch = r.changes;
        std::optional<double> got;
        switch (c.target) {
        case DragItem::CursorX:
            got = ch.CursorX;
            break;
        case DragItem::CursorX1:
            got = ch.CursorX1;
            break;
        case DragItem::CursorX2:
            got = ch.CursorX2;
            break;
        case DragItem::CursorY:
            got = ch.CursorY;
            break;
        case DragItem::CursorY1:
            got = ch.CursorY1;
            break;
        case DragItem::CursorY2:
            got = ch.CursorY2;
            break;
        case DragItem::LevelA1:
            got = ch.LevelA1;
            break;
        case DragItem::LevelA2:
            got = ch.LevelA2;
            break;
        case DragItem::ZeroA1:
            got = ch.ZeroA1;
            break;
        case DragItem::BgZeroA2:
            got = ch.BgZeroA2;
            break;
        default:
            break;
        }
        EXPECT_EQ(got, static_cast<double>(c.expected))
            << static_cast<int>(c.target) << " " << c.dx << "," << c.dy;
    }
}

TEST_F(Pointer, MovingWithoutAButtonDoesNothing) {
    drag.DragTarget = DragItem::CursorX;
    PointerEvent e = dragAt(g, 100, 100);
    e.leftDown = false;
    const GestureResult r = movePointer(s, g, h, e, drag);
    EXPECT_FALSE(r.changes.any());
    EXPECT_EQ(r.notify, Notify::None);
}

TEST_F(Pointer, BackgroundZeroDragMovesTheBackgroundLevelAndOnlyRedraws) {
    s.display.BgScreenZeroA2 = 0x4000;
    s.display.BgTrigLevelA2 = 20000.0;
    drag.DragTarget = DragItem::BgZeroA2;
    const GestureResult r = move(0, 188);
    EXPECT_EQ(r.changes.BgZeroA2, 0x4000 + 1024);
    EXPECT_EQ(r.changes.BgLevelA2, 20000.0 + 1024);
    EXPECT_FALSE(r.changes.ZeroA2 || r.changes.LevelA2);
    EXPECT_EQ(r.notify, Notify::Refresh);
}

// --- double click ------------------------------------------------------------------------------

TEST_F(Pointer, DoubleClickAboveThePlotTogglesCompactViewAndEatsTheNextPress) {
    s.display.cursors = CursorMode::Single;
    GestureResult r = press(100, -5);
    EXPECT_FALSE(r.changes.any()); // no cursor moves
    r = doubleClick(s, g, h, pressAt(g, 100, -5), drag);
    EXPECT_EQ(r.changes.CompactView, true);
    EXPECT_FALSE(r.changes.GeneratorView);
    EXPECT_EQ(r.notify, Notify::Layout);
    EXPECT_TRUE(drag.SwallowPress);

    // The press that comes with the double click is swallowed, even inside the plot.
    r = press(100, 100);
    EXPECT_FALSE(r.changes.any());
    EXPECT_EQ(drag.DragTarget, DragItem::None);
    EXPECT_FALSE(drag.SwallowPress);
    // The next one acts again.
    r = press(100, 100);
    EXPECT_EQ(drag.DragTarget, DragItem::CursorX);
}

TEST_F(Pointer, DoubleClickHotZones) {
    struct Case {
        const char* name;
        int model;
        int dx, dy;
        std::optional<bool> compact, generator;
        Notify notify;
        bool swallow;
    };
    const int below = g.PlotHeight + 5;
    const Case cases[] = {
        {"BelowWithGenerator", 0x21, 100, below, std::nullopt, false, Notify::Layout, true},
        {"BelowWithoutGenerator", 0x22, 100, below, std::nullopt, std::nullopt, Notify::Layout, true},
        {"AboveLeftEdgeColumnIsOutside", 0x21, 0, -5, std::nullopt, std::nullopt, Notify::None, false},
        {"AboveRightEdgeColumnIsOutside", 0x21, g.PlotWidth, -5, std::nullopt, std::nullopt, Notify::None,
         false},
        {"InsideThePlot", 0x21, 100, 100, std::nullopt, std::nullopt, Notify::None, false},
        {"LeftMarginBelow", 0x21, -5, below, std::nullopt, std::nullopt, Notify::None, false},
    };
    for (const Case& c : cases) {
        drag = {};
        s.system.UiDeviceType = c.model;
        s.display.Generator = true;
        press(c.dx, c.dy);
        const GestureResult r = doubleClick(s, g, h, pressAt(g, c.dx, c.dy), drag);
        EXPECT_EQ(r.changes.CompactView, c.compact) << c.name;
        EXPECT_EQ(r.changes.GeneratorView, c.generator) << c.name;
        EXPECT_EQ(r.notify, c.notify) << c.name;
        EXPECT_EQ(drag.SwallowPress, c.swallow) << c.name;
    }
}

} // namespace
