// SPDX-License-Identifier: GPL-3.0-or-later
// The system calibration dialog's plain parts: its status texts and verdicts, the automatic
// measurement of the tuning table tick by tick, and what each test mode changes.
#include "calibration/FreqTableRun.h"
#include "calibration/SystemTestModes.h"
#include "calibration/SystemTexts.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kx::calibration {
namespace {

core::CalTable generatorTable(int z, int n, int p) {
    core::CalTable t = core::defaultSystemCalTable();
    core::detail::putWord(t, core::kSysGenZero, z);
    core::detail::putWord(t, core::kSysGenNegative, n);
    core::detail::putWord(t, core::kSysGenPositive, p);
    return t;
}

TEST(GeneratorSpan, RangeAndOffsetFromTheThreePoints) {
    // Symmetric points at +-2.7 V: the range reaches -3.6 V and just under +3.6 V, no offset.
    const GeneratorSpan s = generatorSpan(generatorTable(0, -27000, 27000));
    EXPECT_DOUBLE_EQ(s.vmin, -36000.0);
    EXPECT_DOUBLE_EQ(s.vmax, 27000.0 * (1.0 + 8191.0 / 24576.0));
    EXPECT_DOUBLE_EQ(s.voffset, 0.0);
    EXPECT_TRUE(s.ok());
    EXPECT_EQ(generatorSpanText(s, false), "(Vmin = -3.600 V, Vmax = 3.600 V, Voffset = 0.000 uV)");
    EXPECT_EQ(generatorSpanText(s, true), "");

    // An output that cannot reach 3.3 V fails; a lopsided one shows its offset.
    EXPECT_FALSE(generatorSpan(generatorTable(0, -27000, 24000)).ok());
    EXPECT_DOUBLE_EQ(generatorSpan(generatorTable(100, -27000, 27400)).voffset, 100.0);
    EXPECT_EQ(setButtonCaption(generatorTable(12, -27000, 27000)), "3.0012");
}

TEST(FMeter, ReadingAgainstTheReference) {
    struct Case {
        CounterWords c;
        double ref;
        const char* text;
    };
    const std::vector<Case> cases = {
        // 1001 edges over 1 s of the 200 MHz time base: exactly 1 kHz.
        {{0x00, 1001, 200000000}, 1000.0, "1.000 0000 KHz / 0.00 ppm"},
        // Reads 2.5 ppm low: the reference is that much above the time base's view.
        {{0x00, 1001, 200000500}, 1000.0, "999.99750 Hz / 2.50 ppm"},
        {{0x20, 1001, 200000000}, 1000.0, "... / ..."}, // no result
        {{0x00, 1001, 0}, 1000.0, "... / ..."},
        {{0x00, 1001, 200000000}, 0.5, "... / ..."},               // no reference
        {{0x00, 1001, 200000000}, 2000.0, "1.000 0000 KHz / ..."}, // 500 000 ppm away
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fMeterText(c.c, c.ref), c.text);
    }
}

TEST(DigitalTest, ThresholdFromTheLowFraction) {
    // Half the sine's period below the threshold: 1.5 V, which passes only at 1.5 V.
    EXPECT_DOUBLE_EQ(estimatedThreshold(0.5), 1500000.0);
    EXPECT_EQ(digitalLine(0, 0.5, 1500000), "D1 Tresh. = 1.500 V - OK");
    EXPECT_EQ(digitalLine(3, 0.5, 500000), "D4 Tresh. = 1.500 V - FAILED");
    EXPECT_EQ(digitalLine(1, 0.5, 2500000), "D2 Tresh. = 1.500 V - FAILED");
    // The tolerance: 1 % and 0.1 V either side.
    EXPECT_NE(digitalLine(0, 0.2675, 500000).find(" - OK"), std::string::npos);
    EXPECT_NE(digitalLine(0, 0.05, 500000).find(" - FAILED"), std::string::npos);
    // A quarter of the threshold against the 3.3 V, 16-bit DAC.
    EXPECT_EQ(digitalThresholdCode(2500000), 12412);
    EXPECT_EQ(digitalThresholdCode(500000), 2482);
    EXPECT_EQ(tuningText(32768), "1.650 V (32768)");
}

// Runs the table measurement with a reading per tick; returns the steps that did something.
std::vector<FreqTableRun::Step> run(FreqTableRun& r,
                                    const std::function<std::optional<double>(int)>& reading) {
    std::vector<FreqTableRun::Step> steps;
    for (int tick = 0; r.running() && tick < 1000; ++tick) {
        const FreqTableRun::Step s = r.tick(reading(tick));
        if (s.write >= 0 || s.focus >= 0 || s.finished || s.aborted) steps.push_back(s);
    }
    return steps;
}

TEST(FreqTableRun, FivePointsThreeSecondsApart) {
    FreqTableRun r;
    r.start();
    EXPECT_EQ(r.progress(100), 0);
    std::vector<int> at;
    const auto steps = run(r, [&](int tick) {
        at.push_back(tick);
        return std::optional<double>(tick * 0.01);
    });
    ASSERT_EQ(steps.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        // Countdown 121, 91, .. 1: ticks 29, 59, .. 149 after the start.
        EXPECT_EQ(steps[static_cast<std::size_t>(k)].write, k);
        EXPECT_DOUBLE_EQ(steps[static_cast<std::size_t>(k)].ppm, (29 + 30 * k) * 0.01);
        EXPECT_EQ(steps[static_cast<std::size_t>(k)].focus, k + 1);
    }
    EXPECT_TRUE(steps.back().finished);
    EXPECT_FALSE(r.running());
    EXPECT_EQ(at.size(), 150u);
}

TEST(FreqTableRun, InvalidReadingStopsAndKeepsWhatWasTaken) {
    FreqTableRun r;
    r.start();
    const auto steps = run(r, [](int tick) { return tick < 60 ? std::optional<double>(1.0) : std::nullopt; });
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].write, 1);
    EXPECT_TRUE(steps[2].aborted);
    EXPECT_EQ(steps[2].write, -1);
    EXPECT_FALSE(r.running());

    // Only readings within 200 ppm of the reference count; the edit keeps three decimals.
    EXPECT_EQ(tableReading(true, 1000.0, 199.9), std::optional<double>(199.9));
    EXPECT_EQ(tableReading(true, 1000.0, -200.0), std::nullopt);
    EXPECT_EQ(tableReading(true, 0.0, 1.0), std::nullopt);
    EXPECT_EQ(tableReading(false, 1000.0, 1.0), std::nullopt);
    EXPECT_EQ(tablePointValue(-14.8049), -1481); // -14.805 shown, then x 100
    EXPECT_EQ(tablePointValue(3.2051), 321);
}

TEST(SystemTestModes, WhatEachModeChanges) {
    struct Case {
        int mode;
        std::uint32_t decimation;
        int cycles;
        int amp;
        OffsetChoice offset;
        int fft;
        bool constant;
    };
    const std::vector<Case> cases = {
        {kModeNone, 501, 25, -1, OffsetChoice::Zero, -1, false},
        {kModeSet, 501, 0, 3000, OffsetChoice::Raw, -1, true},
        {kModeTest0V, 501, 0, 0, OffsetChoice::Zero, -1, false},
        {kModeGain3V, 501, 0, 3000, OffsetChoice::Zero, -1, true},
        {kModeTestMinus3V, 501, 0, 0, OffsetChoice::Minus3V, -1, false},
        {kModeTestPlus3V, 501, 0, 0, OffsetChoice::Plus3V, -1, false},
        {kModeVerify1k, 501, 25, -1, OffsetChoice::Zero, -1, false},
        {kModeHfFftA1, 1, 2000, -1, OffsetChoice::Zero, 0, false},
        {kModeHfFftA2, 1, 2000, -1, OffsetChoice::Zero, 1, false},
        {kModeDitherA1, 1, 0, 0, OffsetChoice::Zero, 0, false},
        {kModeDitherA2, 1, 0, 0, OffsetChoice::Zero, 1, false},
        {13, 21, 10, 3000, OffsetChoice::Zero, -1, false},
        {14, 1, 5, 3000, OffsetChoice::Zero, -1, false},
        {17, 1, 2501, 3000, OffsetChoice::Zero, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const SystemTestSetup s = systemTestSetup(c.mode);
        EXPECT_EQ(s.decimation, c.decimation);
        EXPECT_EQ(s.cycles, c.cycles);
        EXPECT_EQ(s.ampCode, c.amp);
        EXPECT_EQ(s.offset, c.offset);
        EXPECT_EQ(s.fftChannel, c.fft);
        EXPECT_EQ(s.constantShape, c.constant);
    }
    // A generator edit with the focus: its raw code, no amplitude.
    const SystemTestSetup edit = systemTestSetup(kModeNone, 0x2000);
    EXPECT_EQ(edit.offset, OffsetChoice::Raw);
    EXPECT_EQ(edit.rawOffsetCode, 0x2000);
    EXPECT_EQ(edit.ampCode, 0);
    EXPECT_EQ(edit.cycles, 0);
}

} // namespace
} // namespace kx::calibration
