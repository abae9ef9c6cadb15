// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerSettingsMap.h"
#include "analyzers/AnalyzerTraces.h"
#include "analyzers/AntennaAnalyzer.h"
#include "analyzers/AntennaGraphs.h"
#include "analyzers/NetworkAnalyzer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

using namespace kx::analyzers;

namespace {
// A point value whose magnitude M (|H| x 2 sqrt 2) is m.
std::complex<double> withMagnitude(double m) {
    return {m / (2 * std::sqrt(2.0)), 0};
}
} // namespace

TEST(NetworkCodes, AmplitudeAndPhase) {
    struct Case {
        double m;
        int db;
        std::int32_t code;
    };
    // Linear: 1.6 at the top; dB scales: 0 dB one division under the top, -20 dB two more down at 10 dB/div.
    for (const Case c : {Case{1.6, 0, 65536}, Case{2.0, 0, 65536}, Case{0.8, 0, 32768}, Case{0.1, 10, 40960},
                         Case{1.0, 10, 57344}, Case{10.0, 10, 65536}, Case{1e-9, 10, 0}, Case{0.1, 1, 0},
                         Case{1.0, 15, 57344}}) {
        const auto codes = networkPointCodes(withMagnitude(c.m), 1.0, c.db);
        ASSERT_TRUE(codes.drawn);
        EXPECT_NEAR(codes.amplitude, c.code, 1)
            << c.m << " " << c.db; // trunc of a value that may sit at .999
    }
    // 1 dB/div: -6.02 dB lies six divisions under 0 dB.
    EXPECT_EQ(networkPointCodes(withMagnitude(0.5), 1.0, 1).amplitude,
              static_cast<std::int32_t>(std::trunc(std::log10(0.5) * 163840 + 57344)));
    EXPECT_EQ(networkPointCodes({0, 1}, 1.0, 10).phase, 32768 + 16384);
    EXPECT_EQ(networkPointCodes({-1, 0}, 1.0, 10).phase, 65536);
    EXPECT_EQ(networkPointCodes({1, -1e-12}, 1.0, 10).phase, 32768);
    EXPECT_FALSE(networkPointCodes({0, 0}, 1.0, 10).drawn);
    EXPECT_FALSE(networkPointCodes({1e30, 1e30}, 1.0, 10).drawn);
    // The range ratio scales the magnitude: a frame at twice the present range reads 6 dB up.
    EXPECT_EQ(networkPointCodes(withMagnitude(0.8), 2.0, 0).amplitude, 65536);
    EXPECT_EQ(networkDbPerDiv(4), 10);
    EXPECT_EQ(calibrationPlanSpanHz(true, false), 100000000);
    EXPECT_EQ(calibrationPlanSpanHz(true, true), 200000000);
}

TEST(AntennaQuantities, MatchedLoadAtFiftyOhm) {
    const auto v = antennaQuantities({0, 0}, 50);
    EXPECT_DOUBLE_EQ(v.rs, 50);
    EXPECT_DOUBLE_EQ(v.xs, 0);
    EXPECT_DOUBLE_EQ(v.g, 0.0001);
    EXPECT_DOUBLE_EQ(v.swr, 1.0001 / 0.9999);
    EXPECT_NEAR(v.returnLossDb, 80, 1e-9);
    EXPECT_EQ(v.q, 0);
    EXPECT_EQ(v.xp, 1e30);
    EXPECT_DOUBLE_EQ(v.rp, 50);
    EXPECT_EQ(v.phase, 0);
    const AntennaRanges r{antennaSwrSpan(2), antennaImpedanceRange(6), antennaQRange(0)};
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::ReturnLoss, v, r), 0);
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Q, v, r), 0);
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Xs, v, r), 32768);
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Rs, v, r), 32768 + 20480); // 50 of +-80 Ohm
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Z, v, r), 40960);          // 50 of 80 Ohm
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Xp, v, r), 65536);         // 1e30 at the top
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Swr, v, r), 2);            // 65536 / 8 x 0.0002
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Phase, v, r), 32768);
}

TEST(AntennaQuantities, SeventyFiveOhmOpenAndShort) {
    const auto v75 = antennaQuantities({0, 0}, antennaZo(2));
    EXPECT_NEAR(v75.g, 0.2, 1e-12);
    EXPECT_NEAR(v75.swr, 1.5, 1e-12);
    const AntennaRanges r{antennaSwrSpan(1), 80, 80};
    const auto swr2 = antennaQuantities({1.0 / 3, 0}, 50); // Z = 100: SWR 2
    EXPECT_NEAR(swr2.swr, 2, 1e-12);
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Swr, swr2, r), 32768);

    const auto open = antennaQuantities({1, 0}, 50);
    EXPECT_TRUE(std::isnan(open.z.real()));
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Rs, open, r), INT_MAX);
    EXPECT_EQ(antennaScreenCode(AntennaQuantity::Swr, open, r), INT_MAX);

    const auto shorted = antennaQuantities({-1, 0}, 50);
    EXPECT_EQ(shorted.z, std::complex<double>(0, 0));
    EXPECT_EQ(shorted.q, 1e30);
    EXPECT_EQ(shorted.rp, 1e30);
    EXPECT_DOUBLE_EQ(shorted.g, 0.9999);

    // An inductive load: Z = 50 + j50, Q = 1, Rp = Xp = 100.
    const std::complex<double> z{50, 50};
    const auto ind = antennaQuantities((z - 50.0) / (z + 50.0), 50);
    EXPECT_NEAR(ind.q, 1, 1e-12);
    EXPECT_NEAR(ind.rp, 100, 1e-9);
    EXPECT_NEAR(ind.xp, 100, 1e-9);
    EXPECT_NEAR(ind.phase, std::atan(1.0), 1e-12);
}

TEST(AntennaTerms, CorrectTheThreeStandards) {
    std::vector<std::complex<double>> o{{0.9, 0.1}, {0.8, -0.2}}, s{{-0.8, 0.05}, {-0.7, 0.1}},
        l{{0.1, 0}, {0.05, 0.05}};
    const auto t = buildAntennaTerms(o, s, l, 10000, 100000000);
    ASSERT_EQ(t.count, 2);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto correct = [&](std::complex<double> g) {
            return (t.e1[i] - t.e3[i] * g) / (t.e2[i] * g - 1.0);
        };
        EXPECT_NEAR(std::abs(correct(o[i]) - 1.0), 0, 1e-12);
        EXPECT_NEAR(std::abs(correct(s[i]) + 1.0), 0, 1e-12);
        EXPECT_NEAR(std::abs(correct(l[i])), 0, 1e-12);
    }
    // Degenerate standards give NaN terms, not a failure.
    EXPECT_TRUE(std::isnan(oslTerms({0, 0}, {0, 0}, {0, 0}).e1.real()));
}

TEST(AntennaGraphs, CaptionsAndDrawingOrder) {
    EXPECT_EQ(antennaGraphCaption(1, 2, false), "Graph 1 - Return Loss");
    EXPECT_EQ(antennaGraphCaption(1, 2, true), "График 1 - Return Loss");
    EXPECT_EQ(antennaGraphCaption(2, 4, false), "Graph 2 - Phase Z");
    EXPECT_EQ(antennaGraphCaption(3, 0, true), "График 3 - Выкл.");
    const auto list = antennaDrawOrder(1, 1, 6); // SWR; Rs; Xp
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.items[0], AntennaQuantity::Xp);
    EXPECT_EQ(list.items[1], AntennaQuantity::Rs);
    EXPECT_EQ(list.items[2], AntennaQuantity::Swr);
    EXPECT_EQ(antennaDrawOrder(0, 2, 2).count, 1); // a quantity in both graphs is drawn once
}

TEST(NetworkPlan, CalibrationRegisters) {
    const auto r = calibrationPlanRegisters(kCalibrationPlanSpanHz);
    EXPECT_EQ(r.hiResExponent, 20);
    EXPECT_EQ(r.decimation, 2000000u);
    EXPECT_EQ(r.genStepWord, static_cast<std::uint64_t>(1e8 * 2 * 703687.44177664 / 2000 + 0.5));
    EXPECT_EQ(r.genAwgDiv, 268435455u);
}

TEST(AnalyzerTraces, PointsWithoutDataAreNotDrawn) {
    auto points = std::make_unique<kx::core::AnalyzerPointArrays>();
    points->clear();
    points->re[0] = 0;
    points->im[0] = 0; // matched load, and a zero transfer
    points->re[1] = 1;
    points->im[1] = 0; // open: NaN impedance
    std::vector<std::int32_t> amp(3, 7), ph(3, 7), rl(3, 7), rs(3, 7);
    networkTraceCodes(*points, 3, 1.0, 10, amp, ph);
    EXPECT_EQ(amp[0], INT_MAX); // magnitude 0
    EXPECT_EQ(amp[1], static_cast<std::int32_t>(std::trunc(std::log10(2 * std::sqrt(2.0)) * 16384 + 57344)));
    EXPECT_EQ(ph[1], 32768);
    EXPECT_EQ(amp[2], INT_MAX); // no data
    const AntennaRanges r;
    antennaTraceCodes(*points, 3, 50, r, AntennaQuantity::ReturnLoss, rl);
    EXPECT_EQ(rl[0], 0);
    EXPECT_EQ(rl[2], INT_MAX);
    antennaTraceCodes(*points, 3, 50, r, AntennaQuantity::Rs, rs);
    EXPECT_EQ(rs[1], INT_MAX);
}

TEST(AnalyzerSettings, FromTheInstrumentState) {
    kx::core::AnalyzerState a;
    const AntennaRanges r = antennaRangesFrom(a);
    EXPECT_EQ(r.swrSpan, 8);
    EXPECT_EQ(r.impedance, 80);
    EXPECT_EQ(r.q, 80);
    EXPECT_EQ(antennaZoFrom(a), 50);
    EXPECT_EQ(networkDbPerDivFrom(a), 10);
    a.AaZo = 3;
    a.AaImpRange = 10;
    a.NaAmpRange = 0;
    EXPECT_EQ(antennaZoFrom(a), 100);
    EXPECT_EQ(antennaRangesFrom(a).impedance, 8000);
    EXPECT_EQ(networkDbPerDivFrom(a), 0);
    a.AaZo = 17; // a broken settings file: the default
    EXPECT_EQ(antennaZoFrom(a), 50);
}
