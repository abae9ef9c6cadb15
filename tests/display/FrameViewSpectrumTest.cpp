// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumFrame.h"
#include "display/Colors.h"
#include "display/FrameView.h"
#include "files/DataFile.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numbers>

namespace kx::display {
namespace {

namespace fh = core::fh;
namespace fw = analyzers::fftword;

class FrameViewSpectrumTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<FrameView>();
        spectra = std::make_unique<SpectrumProcessor>();
        view->setSpectrum(spectra.get());
        frame = std::make_unique<core::FrameRecord>();
        frame->clear();
        auto& h = frame->header;
        h.set64(fh::SamplePeriodPs, 5000);
        h.set64(fh::DigitalPeriodPs, 5000);
        h[fh::ScaleA1] = h[fh::ScaleA2] = 1'000'000;
        h[fh::CaptureLength] = h[fh::AnalogCount] = h[fh::TriggerIndex] = 4096;
        h[fh::ChannelMask] = 0x03;
        for (std::size_t i = 0; i < 4096; ++i)
            frame->channels.min[0][i] = frame->channels.max[0][i] =
                static_cast<std::int32_t>(0x8000 + 8000 * std::sin(2 * std::numbers::pi * 0.1 * i));
        state.scope.A1.shown = true;
        state.fft.View_A1 = true;
        derived.TimeDivNs = 250;
        derived.MicroVoltsA1 = derived.MicroVoltsA2 = 1'000'000;
        derived.DrawMode = 1;
    }
    FrameOutcome update() {
        const auto out = view->signalAreaUpdate(state, derived, *frame, link);
        view->readoutUpdate(state, derived, *frame, link);
        return out;
    }
    int plotPixels(QRgb c) const {
        const QImage& img = view->screenBitmap();
        const auto& g = view->geometry();
        int n = 0;
        for (int y = g.PlotTop; y < g.PlotTop + g.PlotHeight; ++y)
            for (int x = g.PlotLeft; x < g.PlotLeft + g.PlotWidth; ++x) n += img.pixel(x, y) == c;
        return n;
    }

    std::unique_ptr<FrameView> view;
    std::unique_ptr<SpectrumProcessor> spectra;
    std::unique_ptr<core::FrameRecord> frame;
    core::InstrumentState state;
    core::DerivedQuantities derived;
    LinkView link;
};

TEST_F(FrameViewSpectrumTest, TheSpectrumIsComputedDrawnAndItsWordsKeptInADataFile) {
    const FrameOutcome out = update();
    EXPECT_EQ(out.FftStateA1, kFftShown);
    const auto& h = frame->header;
    EXPECT_EQ(h[fw::FftStateA1], 1u);
    EXPECT_EQ(h[fw::FftStateA2], 0u);
    EXPECT_EQ(h[fw::FftPoints], 4096u);
    EXPECT_EQ(h[fw::FftPeakValidA1], 1u);
    EXPECT_NEAR(h.getReal(fw::FftPeakFreqA1), 20e6, 20e3);
    EXPECT_GT(plotPixels(toQRgb(state.display.colors.ColorFft)), 100);

    // Saved and read back: the words and the spectrum as shown.
    const std::string path = (std::filesystem::temp_directory_path() / "kx_spectrum_words.kxd").string();
    auto background = std::make_unique<core::FrameRecord>();
    background->clear();
    bool swap = false;
    std::vector<double> ets(analyzers::kMaxEtsSpectrumBins);
    files::DataFileRecords records{
        *frame, *background, swap, spectra->accumulatorStorage(0), spectra->accumulatorStorage(1), ets};
    files::DataFileNames names;
    kx::testing::ScriptedPrompt prompt;
    ASSERT_EQ(files::SaveDataFile(path, records, names, prompt, {}), files::DataFileStatus::Ok);
    const core::FrameHeader saved = frame->header;
    const std::vector<double> shown(spectra->accumulatorStorage(0).begin(),
                                    spectra->accumulatorStorage(0).begin() + 2048);

    auto loaded = std::make_unique<core::FrameRecord>();
    auto loadedBg = std::make_unique<core::FrameRecord>();
    auto other = std::make_unique<SpectrumProcessor>();
    files::DataFileRecords into{
        *loaded, *loadedBg, swap, other->accumulatorStorage(0), other->accumulatorStorage(1), ets};
    files::OpenDataFileOptions o;
    o.fftRequests = [&](const files::FftRequests& r) { other->applyFileRequests(r); };
    ASSERT_EQ(files::OpenDataFile(path, into, names, prompt, o), files::DataFileStatus::Ok);
    std::remove(path.c_str());
    for (int w = fw::FftStateA1; w <= fw::FftPeakFreqA1 + 3; ++w) EXPECT_EQ(loaded->header[w], saved[w]) << w;
    for (std::size_t j = 0; j < shown.size(); ++j) ASSERT_EQ(other->accumulatorStorage(0)[j], shown[j]) << j;
    EXPECT_FALSE(other->recomputePending(0)); // shown as stored
    EXPECT_TRUE(other->restartPending(0));
}

TEST_F(FrameViewSpectrumTest, StatesAreWrittenEveryFrameAndMessagesShown) {
    frame->header[fh::PeakDetect] = 1;
    state.system.RussianUi = false;
    const int before = 0;
    update();
    EXPECT_EQ(frame->header[fw::FftStateA1], 3u);
    EXPECT_GT(plotPixels(toQRgb(state.display.colors.ColorFft)), before); // the message box
    state.fft.View_A1 = false;
    update();
    EXPECT_EQ(frame->header[fw::FftStateA1], 0u);
    EXPECT_EQ(plotPixels(toQRgb(state.display.colors.ColorFft)), 0);
}

} // namespace
} // namespace kx::display
