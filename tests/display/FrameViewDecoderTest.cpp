// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder bands as the frame view draws them: after the traces, with the trace's colour and
// mapping, and not at all while the traces are hidden.
#include "decoders/SerialDecoder.h"
#include "display/Colors.h"
#include "display/DecodedBand.h"
#include "display/FrameView.h"

#include <gtest/gtest.h>

#include <memory>

namespace kx::display {
namespace {

namespace fh = core::fh;

constexpr int kSamples = 500;
constexpr int kLeft = 33, kTop = 29, kBase = kTop + 256;
constexpr int kRxdMiddle = kBase - 232; // band 226 .. 238 of 256
constexpr int kTxdMiddle = kBase - 216;

// Design-size paint box, one pixel per sample. D1 carries one 8N1 character at 10 samples a bit
// from sample 100; the decoder puts its start on the last mark sample: the box spans 99 .. 199.
class FrameViewDecoder : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<FrameView>();
        frame->clear();
        auto& h = frame->header;
        h.set64(fh::SamplePeriodPs, 5000);
        h.set64(fh::DigitalPeriodPs, 5000);
        h[fh::CaptureLength] = kSamples;
        h[fh::AnalogCount] = kSamples;
        h[fh::DigitalCount] = kSamples;
        h[fh::ChannelMask] = 0x3F;
        h[fh::ScaleA1] = 1'000'000;
        auto& d1 = frame->channels.minOf(core::Channel::D1);
        for (int i = 0; i < kSamples; ++i) {
            const int bit = (i - 100) / 10; // start, 0x55 LSB first, stop
            const int level = i < 100 || bit >= 9 ? 1 : bit == 0 ? 0 : ((0x55 >> (bit - 1)) & 1);
            d1[static_cast<std::size_t>(i)] = level * 256;
        }
        frame->channels.maxOf(core::Channel::D1) = d1;

        state.display.Grid = false;
        state.display.TrigPosL = false;
        state.scope.A2.shown = false;
        state.decoder.Type = 1;
        state.decoder.Baud_Rate = 20'000'000; // 10 samples of 5 ns a bit
        state.decoder.RXD = decoders::kSourceD1;
        state.decoder.TXD = decoders::kSourceOff;
        derived.TimeDivNs = 250;
        derived.MicroVoltsA1 = 1'000'000;
        derived.DrawMode = 1;
        view->setDecoder(decoder.get());
    }

    void update() {
        decoder->step(decoders::rs232Settings(state.decoder), decoders::decoderFrameOf(*frame, state), false);
        view->signalAreaUpdate(state, derived, *frame, link);
    }
    QRgb at(int x, int y) const { return view->screenBitmap().pixel(x, y); }
    QRgb d1Color() const { return toQRgb(state.display.colors.ColorD1); }

    std::unique_ptr<FrameView> view;
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::unique_ptr<decoders::SerialDecoder> decoder = std::make_unique<decoders::SerialDecoder>();
    core::InstrumentState state;
    core::DerivedQuantities derived;
    LinkView link;
};

TEST_F(FrameViewDecoder, BandsInTheSourceTraceColour) {
    update();
    ASSERT_EQ(decoder->rxd().count, 1);
    EXPECT_EQ(decoder->rxd().chars[0].value, 0x55u);
    EXPECT_EQ(decoder->rxd().chars[0].first, 99);
    EXPECT_EQ(decoder->rxd().chars[0].last, 199);
    EXPECT_EQ(at(kLeft + 99, kRxdMiddle), d1Color());
    EXPECT_EQ(at(kLeft + 199, kRxdMiddle), d1Color());
    EXPECT_EQ(at(kLeft + 101, kRxdMiddle - 6), d1Color()); // the top edge, 2 pixels inside
    EXPECT_EQ(at(kLeft + 50, kRxdMiddle), d1Color());      // idle
    EXPECT_NE(at(kLeft + 50, kTxdMiddle), d1Color());      // TXD is off

    // The same line as TXD: the lower band.
    std::swap(state.decoder.RXD, state.decoder.TXD);
    update();
    EXPECT_EQ(at(kLeft + 50, kTxdMiddle), d1Color());
    EXPECT_NE(at(kLeft + 50, kRxdMiddle), d1Color());

    // The band follows the scroll position as the trace does.
    state.scope.X_Pos = 40;
    update();
    EXPECT_EQ(at(kLeft + 159, kTxdMiddle), d1Color());
    EXPECT_EQ(at(kLeft + 59, kTxdMiddle), d1Color());
    EXPECT_EQ(at(kLeft + 61, kTxdMiddle - 6), d1Color());
    EXPECT_NE(at(kLeft + 165, kTxdMiddle - 6), d1Color()); // past the box's end
}

TEST_F(FrameViewDecoder, NoBandsWhileTracesAreHiddenOrTheDecoderIsOff) {
    state.fft.View_A1 = true; // the spectrum alone
    state.fft.View_Sig = false;
    update();
    EXPECT_EQ(decoder->rxd().count, 1); // decoded and listed all the same
    EXPECT_NE(at(kLeft + 50, kRxdMiddle), d1Color());

    state.fft.View_A1 = false;
    state.decoder.Type = 0;
    update();
    EXPECT_NE(at(kLeft + 50, kRxdMiddle), d1Color());
}

TEST_F(FrameViewDecoder, DimmedBehindASpectrum) {
    state.fft.View_A1 = true;
    state.fft.View_Sig = true;
    update();
    const auto& c = state.display.colors;
    EXPECT_EQ(at(kLeft + 50, kRxdMiddle), toQRgb(fade(c.ColorD1, c.ColorBackground, 2.0)));
}

} // namespace
} // namespace kx::display
