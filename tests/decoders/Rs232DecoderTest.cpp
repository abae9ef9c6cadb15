// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/Rs232Decoder.h"

#include "UartSignal.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kx::decoders;

namespace {

constexpr std::int64_t kPeriodPs = 1000000; // 1 us per sample

class Rs232Decode : public ::testing::Test {
protected:
    int decode(const UartSignal& s, Rs232Format f = {}, bool inverted = false) {
        if (f.baudRate == 115200) f.baudRate = static_cast<std::int64_t>(std::llround(1e6 / s.e));
        const Rs232Line line{s.min, s.max, kPeriodPs, 96, 160, inverted};
        decodeRs232(line, f, *out);
        return out->count;
    }
    const DecodedChar& at(int i) const { return out->chars[static_cast<std::size_t>(i)]; }

    std::unique_ptr<DecodedLine> out = std::make_unique<DecodedLine>();
};

} // namespace

TEST_F(Rs232Decode, ExactlyFourSamplesPerBit) {
    UartSignal s;
    s.e = 4;
    s.idle(2);
    s.character(0x41);
    s.idle(2);
    s.render();
    ASSERT_EQ(decode(s), 1);
    EXPECT_EQ(at(0).value, 0x41u);
    EXPECT_EQ(at(0).flags, 0u);
    EXPECT_EQ(at(0).first, 7); // the last mark sample before the falling edge
    EXPECT_EQ(at(0).last, 47);
}

TEST_F(Rs232Decode, TooFewSamplesPerBitDecodeNothing) {
    UartSignal s;
    s.e = 4;
    s.idle(2);
    s.character(0x41);
    s.idle(2);
    s.render();
    Rs232Format f;
    f.baudRate = 250627; // 3.99 samples per bit
    EXPECT_EQ(decode(s, f), 0);
    f.baudRate = 0;
    EXPECT_EQ(decode(s, f), 0);
    const Rs232Line noPeriod{s.min, s.max, 0, 96, 160, false};
    EXPECT_EQ(decodeRs232(noPeriod, {}, std::span<DecodedChar>(out->chars)), 0);
}

TEST_F(Rs232Decode, StringOfCharactersWithFractionalBitTime) {
    UartSignal s;
    s.e = 4.4; // positions drift unless each one is rounded from the accumulated centre
    s.idle(3);
    const char* text = "Hello from KX48zz\r\n";
    for (const char* p = text; *p; ++p) s.character(static_cast<std::uint8_t>(*p));
    s.idle(3);
    s.render();
    ASSERT_EQ(decode(s), 19);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(at(i).value, static_cast<std::uint8_t>(text[i])) << i;
        EXPECT_EQ(at(i).flags, 0u) << i;
    }
}

TEST_F(Rs232Decode, LongWordsStayInStep) {
    UartSignal s;
    s.e = 4.3;
    s.idle(2);
    s.character(0xA5C3F00Fu, 32);
    s.character(0x12345678u, 32);
    s.idle(2);
    s.render();
    Rs232Format f;
    f.dataBits = 32;
    ASSERT_EQ(decode(s, f), 2);
    EXPECT_EQ(at(0).value, 0xA5C3F00Fu);
    EXPECT_EQ(at(1).value, 0x12345678u);
}

TEST_F(Rs232Decode, LineIdlingLowNeedsAMarkFirst) {
    UartSignal s;
    s.e = 8;
    s.raw({0, 0, 0, 0});
    s.render();
    // Single-sample edges inside a low line: class 2, never a mark.
    for (std::size_t i = 5; i < s.max.size(); i += 7) s.max[i] = 256;
    EXPECT_EQ(decode(s), 0);

    s.bits.clear();
    s.raw({0, 0, 0});
    s.idle(1);
    s.character(0x55);
    s.idle(1);
    s.render();
    ASSERT_EQ(decode(s), 1);
    EXPECT_EQ(at(0).value, 0x55u);
}

TEST_F(Rs232Decode, FalseStartIsSkipped) {
    UartSignal s;
    s.e = 8;
    s.idle(4);
    s.character(0x3C);
    s.idle(2);
    s.render();
    s.min[10] = s.max[10] = 0; // a one-sample glitch: the middle of its "start bit" reads 1
    ASSERT_EQ(decode(s), 1);
    EXPECT_EQ(at(0).value, 0x3Cu);
    EXPECT_EQ(at(0).first, 31);
}

struct ParityCase {
    Rs232Parity parity;
    int parityBit;
    std::uint32_t flags;
};

class Rs232ParityTest : public Rs232Decode, public ::testing::WithParamInterface<ParityCase> {};

TEST_P(Rs232ParityTest, ChecksOrConsumesTheParityBit) {
    const auto& c = GetParam();
    UartSignal s;
    s.e = 6;
    s.idle(2);
    s.character(0x07, 8, c.parityBit); // three ones
    s.idle(2);
    s.render();
    Rs232Format f;
    f.parity = c.parity;
    ASSERT_EQ(decode(s, f), 1);
    EXPECT_EQ(at(0).value, 0x07u);
    EXPECT_EQ(at(0).flags, c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Rs232ParityTest,
    ::testing::Values(ParityCase{Rs232Parity::Even, 1, 0}, ParityCase{Rs232Parity::Even, 0, kParityError},
                      ParityCase{Rs232Parity::Odd, 0, 0}, ParityCase{Rs232Parity::Odd, 1, kParityError},
                      // No check, but its bit time is used: a parity 0
                      // read as the stop bit would be a framing error.
                      ParityCase{Rs232Parity::Ignore, 0, 0}, ParityCase{Rs232Parity::Ignore, 1, 0}));

TEST_F(Rs232Decode, FramingErrors) {
    UartSignal s;
    s.e = 8;
    s.idle(2);
    s.character(0x81, 8, -1, 0);
    s.raw({0}); // the stop bit at space
    s.idle(3);
    s.character(0x42, 8, -1, 1);
    s.raw({0}); // second stop bit missing
    s.idle(2);
    s.render();
    Rs232Format f;
    ASSERT_EQ(decode(s, f), 2);
    EXPECT_EQ(at(0).flags, kFramingError);
    EXPECT_EQ(at(1).flags, 0u);
    f.stopBits = 2;
    ASSERT_GE(decode(s, f), 2);
    EXPECT_EQ(at(0).flags, kFramingError);
    EXPECT_EQ(at(1).flags, kFramingError);
}

TEST_F(Rs232Decode, BitOrder) {
    UartSignal s;
    s.e = 5;
    s.idle(2);
    s.raw({0, 1, 0, 0, 0, 0, 0, 0, 0, 1});
    s.idle(2);
    s.render();
    Rs232Format f;
    ASSERT_EQ(decode(s, f), 1);
    EXPECT_EQ(at(0).value, 0x01u);
    f.msbFirst = true;
    ASSERT_EQ(decode(s, f), 1);
    EXPECT_EQ(at(0).value, 0x80u);
}

TEST_F(Rs232Decode, InvertedLine) {
    UartSignal s;
    s.e = 8;
    s.idle(2);
    s.character(0x5A);
    s.idle(2);
    s.render(true);
    ASSERT_EQ(decode(s, {}, true), 1);
    EXPECT_EQ(at(0).value, 0x5Au);
}

TEST_F(Rs232Decode, CharacterCutByTheFrameEndIsDropped) {
    UartSignal s;
    s.e = 8;
    s.idle(2);
    s.character(0x11);
    s.character(0x22);
    s.render();
    s.min.pop_back();
    s.max.pop_back();
    // The second character's end falls on the sample just past the frame: dropped.
    ASSERT_EQ(decode(s), 1);
    EXPECT_EQ(at(0).value, 0x11u);
}

TEST_F(Rs232Decode, AnalogSamplesWithHysteresisAndEdges) {
    // Mid-scale noise between the thresholds keeps the class; a sample spanning both is an edge.
    std::vector<std::int32_t> mn, mx;
    auto put = [&](std::int32_t lo, std::int32_t hi, int count) {
        for (int i = 0; i < count; ++i) mn.push_back(lo), mx.push_back(hi);
    };
    const std::int32_t kHigh = 40000, kLow = 20000, kMid = 30000;
    put(kHigh, kHigh, 10);
    put(kMid, kMid, 3);  // between the thresholds: still a mark
    put(kLow, kHigh, 1); // the falling edge inside one sample
    put(kLow, kLow, 7);  // rest of the start bit
    const int bits[8] = {1, 0, 1, 0, 0, 0, 0, 0};
    for (int b : bits) put(b ? kHigh : kLow, b ? kHigh : kLow, 8);
    put(kHigh, kHigh, 20);
    const Rs232Line line{mn, mx, kPeriodPs, 25000, 35000, false};
    Rs232Format f;
    f.baudRate = 125000; // 8 samples per bit
    decodeRs232(line, f, *out);
    ASSERT_EQ(out->count, 1);
    EXPECT_EQ(at(0).first, 13); // the edge sample itself
    EXPECT_EQ(at(0).value, 0x05u);
}

TEST_F(Rs232Decode, KeepsAtMost2000Characters) {
    UartSignal s;
    s.e = 4;
    s.idle(2);
    for (int i = 0; i < 2100; ++i) s.character(static_cast<std::uint32_t>(i & 0xFF));
    s.idle(2);
    s.render();
    ASSERT_EQ(decode(s), 2000);
    EXPECT_EQ(at(1999).value, 1999u & 0xFF);

    // A shorter output array is never overrun.
    std::array<DecodedChar, 3> small{};
    const Rs232Line line{s.min, s.max, kPeriodPs, 96, 160, false};
    Rs232Format f;
    f.baudRate = 250000;
    EXPECT_EQ(decodeRs232(line, f, small), 3);
}
