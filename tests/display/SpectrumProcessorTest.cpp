// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/SpectrumProcessor.h"
#include "display/FftDialogModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace kx::display {
namespace {

namespace fh = core::fh;
namespace fw = analyzers::fftword;

// A1 and A2 carry the same 50 kHz sine, A2 a quarter period later.
class SpectrumProcessorTest : public ::testing::Test {
protected:
    std::unique_ptr<SpectrumProcessor> spectra = std::make_unique<SpectrumProcessor>();
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::atomic<bool> arrived{true};
    core::FftState fft;
    FftStates states{kFftShown, kFftOff};

    void SetUp() override {
        frame->clear();
        auto& h = frame->header;
        h.set64(fh::SamplePeriodPs, 5000); // 200 MS/s
        h[fh::AnalogCount] = 4096;
        h[fh::CaptureLength] = 4096;
        h[fh::ScaleA1] = h[fh::ScaleA2] = 1000000;
        h[fh::ChannelMask] = 3;
        for (int i = 0; i < 4096; ++i) {
            const double w = 2 * std::numbers::pi * 5e6 * i * 5e-9;
            frame->channels.min[0][static_cast<std::size_t>(i)] =
                static_cast<std::int32_t>(0x8000 + 8000 * std::sin(w));
            frame->channels.min[1][static_cast<std::size_t>(i)] =
                static_cast<std::int32_t>(0x8000 + 8000 * std::sin(w - std::numbers::pi / 2));
        }
        spectra->setFrameArrivedFlag(&arrived);
        fft.Size = 6;
        fft.Ave_On = true;
        fft.Ave = 3;
        fft.View_A1 = true;
    }
    bool step(bool newFrame) {
        arrived = newFrame;
        return spectra->compute(fft, states, frame->header, frame->channels);
    }
    std::uint32_t averages(int c = 0) const { return frame->header[fw::FftAveragesA1 + c]; }
};

TEST_F(SpectrumProcessorTest, RecomputesOnNewFramesAndRequestsOnly) {
    EXPECT_TRUE(step(true));
    EXPECT_FALSE(arrived.load()); // cleared by the step
    EXPECT_EQ(averages(), 1u);
    EXPECT_TRUE(step(true));
    EXPECT_EQ(averages(), 2u);
    // No new frame, nothing asked: the spectrum stays as it is.
    EXPECT_FALSE(step(false));
    EXPECT_EQ(averages(), 2u);
    // A recompute request alone recomputes (and keeps averaging).
    spectra->requestRecompute(0);
    EXPECT_TRUE(step(false));
    EXPECT_EQ(averages(), 3u);
    EXPECT_FALSE(spectra->recomputePending(0));

    // Every source of a restart: the averages start again.
    struct Source {
        const char* name;
        std::function<void()> raise;
    };
    const Source sources[] = {
        {"restart request", [&] { spectra->requestRestart(0); }},
        {"settings, keys, swap, clear", [&] { spectra->restartAndRecomputeAll(); }},
        {"file without a stored spectrum", [&] { spectra->applyFileRequests(files::FftRequests{}); }},
        {"sample period", [&] { frame->header.set64(fh::SamplePeriodPs, 10000); }},
        {"sample count", [&] { frame->header[fh::AnalogCount] = 4000; }},
    };
    for (const Source& s : sources) {
        step(true);
        step(true);
        ASSERT_GT(averages(), 1u) << s.name;
        s.raise();
        step(true);
        EXPECT_EQ(averages(), 1u) << s.name;
    }
}

TEST_F(SpectrumProcessorTest, AStoredSpectrumIsShownAsStored) {
    step(true);
    files::FftRequests stored;
    stored.recomputeA1 = false;
    spectra->applyFileRequests(stored);
    frame->header[fw::FftAveragesA1] = 7;
    EXPECT_FALSE(step(false));
    EXPECT_EQ(averages(), 7u);
}

TEST_F(SpectrumProcessorTest, PeakWordsAndPhaseBetweenTheChannels) {
    states = {kFftShown, kFftShown};
    fft.Ave_On = false;
    step(true);
    const auto& h = frame->header;
    EXPECT_EQ(h[fw::FftPoints], 4096u);
    EXPECT_EQ(h[fw::FftPeakValidA1], 1u);
    EXPECT_NEAR(h.getReal(fw::FftPeakFreqA1), 5e6, 5e3);
    EXPECT_NEAR(h.getReal(fw::FftPeakFreqA1 + 2), 5e6, 5e3);
    // 8000 codes of 1 V/div: 8000 / 8192 V amplitude.
    EXPECT_NEAR(h.getReal(fw::FftPeakLevelA1), 20 * std::log10(8000.0 / 8192 / std::sqrt(2.0)), 0.1);
    EXPECT_TRUE(spectra->crossPhase().a1Valid);
    EXPECT_NEAR(spectra->crossPhase().a1MinusA2Deg, 90, 1);
    EXPECT_TRUE(spectra->crossPhase().peaksCoincide);
}

TEST_F(SpectrumProcessorTest, EquivalentTimeShowsItsOwnSpectrum) {
    std::vector<double> ets(50, 1e-20);
    ets[20] = 0.5; // 0.5 V²: -3 dBV
    spectra->setEtsSpectrum(ets);
    auto& h = frame->header;
    h[fw::EtsFftChannel] = 1;
    h[fw::FftPoints] = 100;
    h[fw::FftAveragesA1] = 9;
    EXPECT_FALSE(step(true)); // the reconstruction computed it
    const SpectrumTrace t = spectra->displayTrace(0, fft, h, 1e6);
    ASSERT_EQ(t.bins, 50);
    EXPECT_EQ(t.referenceDb, 10);
    // -3 dBV on a 10..-70 dBV screen, counted once whatever the averages.
    EXPECT_EQ(t.codes[20], std::lround((-3.0103 + 70) * 65536 / 80));
    EXPECT_EQ(t.codes[3], 0);
}

TEST(FftDialogModel, ControlsStoreAndAskForTheirNotifications) {
    struct Case {
        FftControl control;
        int value;
        bool restart;
    };
    const Case cases[] = {
        {FftControl::Size, 2, true},       {FftControl::Window, 0, true}, {FftControl::Averaging, 1, true},
        {FftControl::Depth, 6, true},      {FftControl::Scale, 2, false}, {FftControl::Db15, 1, false},
        {FftControl::DbvToVolt, 1, false}, {FftControl::Zoom, 4, false},  {FftControl::ViewSignal, 0, false},
        {FftControl::CalcBoth, 1, false},
    };
    for (const Case& c : cases) {
        core::FftState f;
        const FftControlEffect e = applyFftControl(f, c.control, c.value);
        EXPECT_TRUE(e.changed) << static_cast<int>(c.control);
        EXPECT_EQ(e.restartAndRecompute, c.restart) << static_cast<int>(c.control);
        EXPECT_EQ(fftControlValue(f, c.control), c.value) << static_cast<int>(c.control);
        // The same value again changes nothing.
        EXPECT_FALSE(applyFftControl(f, c.control, c.value).changed);
    }
    core::FftState f;
    applyFftControl(f, FftControl::Window, 42);
    EXPECT_EQ(f.Win, 8);
}

TEST(FftDialogModel, CancelRestoresTheTenSettingsButNotTheChannel) {
    core::FftState opened;
    core::FftState f = opened;
    f.Scale = 3;
    f.Zoom = 5;
    f.View_A2 = true; // chosen in the menu meanwhile
    EXPECT_FALSE(restoreFftSettings(opened, f));
    EXPECT_EQ(f.Scale, opened.Scale);
    EXPECT_EQ(f.Zoom, opened.Zoom);
    EXPECT_TRUE(f.View_A2);
    f.Ave = 0;
    EXPECT_TRUE(restoreFftSettings(opened, f));
    EXPECT_EQ(f.Ave, opened.Ave);
    EXPECT_TRUE(calcBothAvailable(0x21));
    EXPECT_TRUE(calcBothAvailable(0x22));
    EXPECT_FALSE(calcBothAvailable(0x20));
}

} // namespace
} // namespace kx::display
