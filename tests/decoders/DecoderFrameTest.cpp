// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/DecoderFrame.h"

#include "core/state/DecoderState.h"

#include "UartSignal.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kx::decoders;

TEST(DecoderThresholds, FromTriggerLevelAndNoiseReject) {
    // Screen and sample scales equal: level 0x8000 with index 2 (3/256) gives 125 and 131 x 256.
    auto t = analogThresholds(0x8000, 2, 0, 1, 1, 0);
    ASSERT_TRUE(t.valid);
    EXPECT_DOUBLE_EQ(t.low, 125 * 256);
    EXPECT_DOUBLE_EQ(t.high, 131 * 256);

    // Clamped at both ends of the range.
    t = analogThresholds(100, 9, 0, 1, 1, 0);
    EXPECT_DOUBLE_EQ(t.low, 256);
    EXPECT_DOUBLE_EQ(t.high, 56 * 256);
    t = analogThresholds(65535, 5, 0, 1, 1, 0);
    EXPECT_DOUBLE_EQ(t.low, (255 - 24) * 256);
    EXPECT_DOUBLE_EQ(t.high, 65280);

    // Into the frame's scale: (level - zero position) x uV/div / scale + frame zero, rounded.
    t = analogThresholds(0x8000, 0, 0x4000, 1000, 3, 0x8000);
    EXPECT_DOUBLE_EQ(t.low, std::round(16384.0 * 1000 / 3) + 0x8000);
    EXPECT_DOUBLE_EQ(t.high, t.low);

    EXPECT_FALSE(analogThresholds(0x8000, 0, 0, 1000, 0, 0).valid);
}

namespace {

class DecoderFrameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        signal.e = 10;
        signal.idle(2);
        signal.character('K');
        signal.idle(2);
        signal.render();
        frame.captureLength = 1;
        frame.channelMask = 0x3F;
        frame.channelShown.fill(true);
        frame.digitalCount = static_cast<std::int32_t>(signal.min.size());
        frame.digitalPeriodPs = 1000000;
        frame.min[2] = signal.min; // D1
        frame.max[2] = signal.max;
        settings.type = 1;
        settings.rxdSource = kSourceOff;
        settings.txdSource = kSourceD1;
        settings.format.baudRate = 100000;
    }

    UartSignal signal;
    DecoderFrame frame;
    Rs232Settings settings;
    std::unique_ptr<DecodedLine> rxd = std::make_unique<DecodedLine>();
    std::unique_ptr<DecodedLine> txd = std::make_unique<DecodedLine>();
};

} // namespace

TEST_F(DecoderFrameFixture, DigitalSourceDecodes) {
    rxd->count = 5;
    ASSERT_TRUE(decodeFrame(settings, frame, *rxd, *txd));
    EXPECT_EQ(rxd->count, 0);
    ASSERT_EQ(txd->count, 1);
    EXPECT_EQ(txd->chars[0].value, static_cast<std::uint32_t>('K'));
}

TEST_F(DecoderFrameFixture, InactiveLines) {
    frame.channelMask = 0x3F & ~0x04u;
    decodeFrame(settings, frame, *rxd, *txd);
    EXPECT_EQ(txd->count, 0);

    frame.channelMask = 0x3F;
    frame.channelShown[2] = false;
    decodeFrame(settings, frame, *rxd, *txd);
    EXPECT_EQ(txd->count, 0);

    frame.channelShown[2] = true;
    settings.type = 2; // from a settings file: runs, decodes nothing
    EXPECT_TRUE(decodeFrame(settings, frame, *rxd, *txd));
    EXPECT_EQ(txd->count, 0);

    settings.type = 0;
    txd->count = 7;
    EXPECT_FALSE(decodeFrame(settings, frame, *rxd, *txd));
    EXPECT_EQ(txd->count, 7);
    settings.type = 1;
    frame.captureLength = 0;
    EXPECT_FALSE(decodeFrame(settings, frame, *rxd, *txd));
}

TEST_F(DecoderFrameFixture, LineInputsBySource) {
    frame.analogCount = 40;
    frame.samplePeriodPs = 5000;
    frame.a1 = {100, 200, true};
    frame.a2 = {300, 400, true};
    const std::vector<std::int32_t> analog(100, 0);
    frame.min[1] = frame.max[1] = analog;

    auto a2 = lineInput(kSourceA2, true, frame);
    ASSERT_TRUE(a2.active);
    EXPECT_EQ(a2.line.min.size(), 40u);
    EXPECT_EQ(a2.line.samplePeriodPs, 5000);
    EXPECT_DOUBLE_EQ(a2.line.low, 300);
    EXPECT_DOUBLE_EQ(a2.line.high, 400);
    EXPECT_TRUE(a2.line.inverted);

    auto d1 = lineInput(kSourceD1, false, frame);
    ASSERT_TRUE(d1.active);
    EXPECT_DOUBLE_EQ(d1.line.low, 96);
    EXPECT_DOUBLE_EQ(d1.line.high, 160);
    EXPECT_EQ(d1.line.samplePeriodPs, 1000000);

    // A count beyond the buffer never reads past it.
    frame.analogCount = 1000;
    EXPECT_EQ(lineInput(kSourceA2, false, frame).line.min.size(), 100u);

    EXPECT_FALSE(lineInput(kSourceOff, false, frame).active);
    EXPECT_FALSE(lineInput(7, false, frame).active);
    frame.a1.valid = false;
    EXPECT_FALSE(lineInput(kSourceA1, false, frame).active);
}

TEST(DecoderSettings, FromInstrumentState) {
    kx::core::DecoderState st;
    auto s = rs232Settings(st);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(s.format.baudRate, 115200);
    EXPECT_EQ(s.format.dataBits, 8);
    EXPECT_EQ(s.rxdSource, kSourceA1);
    EXPECT_EQ(s.txdSource, kSourceD1);

    st.Type = 1;
    st.PRTY = 2;
    st.Data_Bits = 40;
    st.Stop_Bits = 2;
    st.MSB_First = 1;
    st.TXD_Inv = 1;
    st.Display = 9;
    s = rs232Settings(st);
    EXPECT_EQ(s.format.parity, Rs232Parity::Odd);
    EXPECT_EQ(s.format.dataBits, 32);
    EXPECT_EQ(s.format.stopBits, 2);
    EXPECT_TRUE(s.format.msbFirst);
    EXPECT_TRUE(s.txdInverted);
    EXPECT_FALSE(s.rxdInverted);
    EXPECT_EQ(s.display, DecoderDisplay::Hex);
    st.Display = 2;
    EXPECT_EQ(rs232Settings(st).display, DecoderDisplay::Ascii);
}
