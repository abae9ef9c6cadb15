// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssemblyFixture.h"

#include "acquisition/EtsAnalysis.h"
#include "acquisition/EtsReconstruction.h"
#include "analyzers/SpectrumFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kx::acquisition::test {
namespace {

using core::Channel;
namespace fh = core::fh;
namespace fw = analyzers::fftword;

constexpr std::uint32_t kT = 5000;

// Four sub-records of A1 (and optionally A2) as the instrument sends them: each taken with its
// own clock, starting at its own time.
class EtsFixture : public AssemblyFixture {
protected:
    std::unique_ptr<EtsReconstruction> ets = std::make_unique<EtsReconstruction>();
    double startNs[4] = {0, 1234.5, 777.7, 3210.9};

    EtsFixture() {
        work->ets = ets.get();
        ctx.fftViewA1 = true;
        ctx.timeDivNs = 5;
        ctx.preDivisions = 5;
        setLength(kT / 2, kT / 2);
        info[info::ChannelFlags] = 0x80; // trigger active, A1, rising
        info[info::A1Lower] = 120;
        info[info::A1Upper] = 136;
    }

    // 8-bit codes of a sine of `hz` and `amplitude` codes around 128 for every sample time.
    void sine(double hz, double amplitude = 100, bool withA2 = false) {
        setMask(static_cast<std::uint8_t>(info::kMaskA1 | info::kMaskEts | (withA2 ? info::kMaskA2 : 0)));
        blockA.clear();
        for (int l = 0; l < 4; ++l) {
            const double ts = 5e-9 * ets::kPeriodNum[static_cast<std::size_t>(l)] /
                              ets::kPeriodDen[static_cast<std::size_t>(l)];
            for (std::uint32_t k = 0; k < kT; ++k) {
                const double t = startNs[l] * 1e-9 + k * ts;
                const double v = 128 + amplitude * std::sin(2 * std::numbers::pi * hz * t);
                const auto code = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0l, 255l));
                blockA.push_back(code);
                if (withA2) blockA.push_back(static_cast<std::uint8_t>(255 - code));
            }
        }
    }
    double real(int w) const { return frame->header.getReal(w); }
};

TEST_F(EtsFixture, TenMegahertzSineIsFoldedOntoAThousandPoints) {
    sine(10e6);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 2u);
    EXPECT_NEAR(real(etsword::Frequency), 10e6, 10e6 * 2e-4);
    EXPECT_EQ(word(etsword::GridPoints), 1000u);
    EXPECT_EQ(word(etsword::Matches), 6u); // every pair of zone-0 candidates
    for (int l = 0; l < 4; ++l) {
        EXPECT_EQ(word(etsword::Zone + l), 1u) << l;
        EXPECT_NEAR(real(etsword::SubFrequency + 2 * l), 10e6, 10e6 * 5e-4) << l;
    }
    // 200 MHz is twenty periods: the simplest multiple, left out of the fold.
    const std::uint32_t k[] = {1, 9, 31, 8}, r[] = {20, 175, 580, 145}, usable[] = {0, 1, 1, 1};
    for (int l = 0; l < 4; ++l) {
        EXPECT_EQ(word(etsword::Multiplier + l), k[l]) << l;
        EXPECT_EQ(word(etsword::Integer + l), r[l]) << l;
        EXPECT_EQ(word(etsword::Usable + l), usable[l]) << l;
    }
    EXPECT_GT(real(etsword::Coverage), 50.0);
    EXPECT_EQ(frame->header.get64(fh::SamplePeriodPs), 100u); // 5 ns/div at 50 samples per division
    EXPECT_EQ(word(fh::PreTrigger), 250u);
    EXPECT_EQ(word(fh::TriggerSource), 1u); // the crossing makes the trigger position valid

    // The trace: 1000 samples of 100 ps per period, rising through the upper threshold at PreTrigger.
    const double upper = 136 * 256.0;
    EXPECT_LT(minOf(Channel::A1, 249), upper);
    EXPECT_GE(minOf(Channel::A1, 251), upper - 256);
    double worst = 0;
    const double phase = std::asin((upper - 0x8000) / (100 * 256.0));
    for (std::size_t l = 0; l < kT; ++l) {
        const double ideal =
            0x8000 +
            100 * 256.0 * std::sin(2 * std::numbers::pi * (static_cast<double>(l) - 250) / 1000 + phase);
        worst = std::max(worst, std::fabs(minOf(Channel::A1, l) - ideal));
    }
    EXPECT_LT(worst, 3 * 256.0); // within a few 8-bit codes over all five periods

    // The spectrum words of the analysis channel, and the wide spectrum's line.
    EXPECT_EQ(word(fw::EtsFftChannel), 1u);
    EXPECT_EQ(word(fw::FftPoints), 40960u);
    EXPECT_EQ(word(fw::FftPeakValidA1), 1u);
    EXPECT_NEAR(real(fw::FftPeakFreqA1), 10e6, 2e3);
    const auto spectrum = ets->spectrum();
    ASSERT_EQ(spectrum.size(), 5u * 4096);
    const auto peak = std::max_element(spectrum.begin() + 10, spectrum.end()) - spectrum.begin();
    EXPECT_NEAR(static_cast<double>(peak) * 200e6 / 4096, 10e6, 200e6 / 4096);
}

TEST_F(EtsFixture, AToneBelowThreeMegahertzIsNotReconstructed) {
    sine(2e6);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 1u);
    EXPECT_NEAR(real(etsword::Frequency), 2e6, 2e6 * 1e-3);
    EXPECT_EQ(word(etsword::GridPoints), 0u);
    // Sub-record 0 as it came, at 5 ns.
    EXPECT_EQ(frame->header.get64(fh::SamplePeriodPs), 5000u);
    for (std::size_t k : {0u, 17u, 4999u}) EXPECT_EQ(minOf(Channel::A1, k), blockA[k] << 8) << k;
}

TEST_F(EtsFixture, NoiseGivesNoReconstruction) {
    setMask(info::kMaskA1 | info::kMaskEts);
    blockA.assign(4 * kT, 128);
    std::uint32_t x = 12345;
    for (auto& b : blockA) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(100 + (x >> 16) % 56);
    }
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 1u);
    EXPECT_EQ(word(fw::FftPeakValidA1), 0u);
}

TEST_F(EtsFixture, AveragingRunsOnUntilTheChannelOrLengthChanges) {
    ctx.fftAveragingDepth = 16;
    sine(10e6, 100, true);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::FftAveragesA1), 2u);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::FftAveragesA1), 3u);

    // The FFT view moves to A2: its spectra start afresh.
    ctx.fftViewA1 = false;
    ctx.fftViewA2 = true;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::EtsFftChannel), 2u);
    EXPECT_EQ(word(fw::FftAveragesA1 + 1), 1u);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::FftAveragesA1 + 1), 2u);

    // A channel not chosen through its view averages nothing.
    ctx.fftViewA2 = false;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::EtsFftChannel), 1u); // the trigger source
    EXPECT_EQ(word(fw::FftAveragesA1), 1u);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::FftAveragesA1), 1u);

    // Back through the view: the last single spectrum is where the average starts from.
    ctx.fftViewA1 = true;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::FftAveragesA1), 2u);

    // Another record length restarts too.
    setLength(kT / 2, kT / 2 - 8);
    blockA.resize(2 * 4 * (kT - 8));
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fw::FftAveragesA1), 1u);
}

TEST_F(EtsFixture, WithoutACrossingThePhaseTurnsFivePointsPerFrame) {
    info[info::ChannelFlags] = 0x00; // trigger off
    info[info::FrameStatus] = 0x04;
    sine(10e6);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    ASSERT_EQ(word(fh::EtsState), 2u);
    EXPECT_EQ(word(fh::TriggerSource), 0u);
    std::vector<std::int32_t> first(frame->channels.minOf(Channel::A1).begin(),
                                    frame->channels.minOf(Channel::A1).begin() + kT);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    // One grid point per sample at 5 ns/div: the same trace, five samples on.
    for (std::size_t l = 0; l + 5 < kT; l += 97) EXPECT_NEAR(minOf(Channel::A1, l), first[l + 5], 2) << l;
    EXPECT_EQ(ets->rotatingPhase(), 10);
}

TEST_F(EtsFixture, ADigitalTriggerSourceLeavesTwoSubRecordsOut) {
    info[info::TriggerFlags] = 2; // D1, not in the frame: no crossing, but two are dropped
    sine(10e6);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 2u);
    const std::uint32_t usable[] = {0, 1, 1, 0};
    for (int l = 0; l < 4; ++l) EXPECT_EQ(word(etsword::Usable + l), usable[l]) << l;
}

TEST_F(EtsFixture, PeakDetectFramesAreNotReconstructed) {
    info[info::TriggerFlags] = 0x80;
    sine(10e6);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 1u);
    EXPECT_EQ(word(fw::EtsFftChannel), 0u);
}

TEST_F(EtsFixture, TheGuiMayDrawBetweenTheTransformsOfTheSameFrame) {
    int calls = 0;
    std::uint32_t counterSeen = 0;
    work->betweenSpectra = [&] {
        ++calls;
        counterSeen = word(fh::FrameCounter); // still the previous frame
    };
    sine(10e6);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(calls, 6);
    EXPECT_EQ(counterSeen, 1u);
}

// The zone search alone: which zones, and the rule that a round is won only with a match of
// its own lower zone.
struct ZoneCase {
    double hz;
    int zone;
};

TEST(EtsZones, TrueFrequencyFromTheFourAliases) {
    for (const ZoneCase c : {ZoneCase{10e6, 0}, ZoneCase{150e6, 1}, ZoneCase{450e6, 4}, ZoneCase{330e6, 3}}) {
        ets::SubRecords s{};
        for (int l = 0; l < 4; ++l) {
            const double fs = ets::kClockHz[static_cast<std::size_t>(l)];
            double f = std::fmod(c.hz / fs, 1.0);
            if (f > 0.5) f = 1 - f;
            auto& r = s[static_cast<std::size_t>(l)];
            r.peakValid = true;
            r.levelDb = -10;
            r.f = f;
        }
        ets::markUsable(s);
        const ets::ZoneResult z = ets::searchZones(s);
        EXPECT_NEAR(z.frequencyHz, c.hz, 1) << c.hz;
        EXPECT_GE(z.matches, 3) << c.hz;
        ets::unfold(s);
        for (int l = 0; l < 4; ++l) {
            EXPECT_EQ(s[static_cast<std::size_t>(l)].zone, c.zone) << c.hz << " " << l;
            EXPECT_NEAR(s[static_cast<std::size_t>(l)].f * ets::kClockHz[static_cast<std::size_t>(l)], c.hz,
                        1);
        }
    }
}

TEST(EtsZones, AWeakOrEdgeSubRecordIsNotUsed) {
    ets::SubRecords s{};
    const double levels[] = {-10, -10, -30, -10};
    const double f[] = {0.2, 0.0005, 0.2, 0.3};
    for (int l = 0; l < 4; ++l) {
        s[static_cast<std::size_t>(l)].peakValid = true;
        s[static_cast<std::size_t>(l)].levelDb = levels[l];
        s[static_cast<std::size_t>(l)].f = f[l];
    }
    ets::markUsable(s);
    EXPECT_TRUE(s[0].usable);
    EXPECT_FALSE(s[1].usable); // next to DC
    EXPECT_FALSE(s[2].usable); // 15 dB under the mean of -15
    EXPECT_TRUE(s[3].usable);
}

} // namespace
} // namespace kx::acquisition::test
