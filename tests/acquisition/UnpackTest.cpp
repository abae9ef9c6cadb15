// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssemblyFixture.h"

namespace kx::acquisition::test {
namespace {

using core::Channel;
using core::kNoSample;
namespace fh = core::fh;

constexpr Channel kDigital[4] = {Channel::D1, Channel::D2, Channel::D3, Channel::D4};

using UnpackTest = AssemblyFixture;

TEST_F(UnpackTest, A1OnlyLeavesEveryOtherChannelEmpty) {
    setLength(1000, 4000);
    setMask(info::kMaskA1);
    for (int i = 0; i < 5000; ++i) blockA.push_back(static_cast<std::uint8_t>(i * 7));
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::CaptureLength), 5000u);
    EXPECT_EQ(word(fh::AnalogCount), 5000u);
    EXPECT_EQ(word(fh::DigitalCount), 5000u);
    EXPECT_EQ(word(fh::TriggerIndex), 5000u);
    EXPECT_EQ(word(fh::ChannelMask), 0x01u);
    for (int i : {0, 1, 2500, 4999}) {
        EXPECT_EQ(minOf(Channel::A1, i), static_cast<std::uint8_t>(i * 7) << 8);
        EXPECT_EQ(maxOf(Channel::A1, i), minOf(Channel::A1, i));
        for (auto c : {Channel::A2, Channel::D1, Channel::D2, Channel::D3, Channel::D4}) {
            EXPECT_EQ(minOf(c, i), kNoSample);
            EXPECT_EQ(maxOf(c, i), kNoSample);
        }
    }
}

TEST_F(UnpackTest, OneDigitalPairTakesFourSamplesPerByte) {
    setLength(0, 8);
    setMask(info::kMaskA1 | info::kMaskD12);
    // Four A1 bytes, then one digital byte: D1 from bits 0, 2, 4, 6 and D2 from 1, 3, 5, 7.
    blockA = {1, 2, 3, 4, 0b10010110, 5, 6, 7, 8, 0b00001111};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::ChannelMask), 0x0Du);
    const std::int32_t d1[8] = {0, 256, 256, 0, 256, 256, 0, 0};
    const std::int32_t d2[8] = {256, 0, 0, 256, 256, 256, 0, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(minOf(Channel::A1, i), (i + 1) << 8) << i;
        EXPECT_EQ(minOf(Channel::D1, i), d1[i]) << i;
        EXPECT_EQ(minOf(Channel::D2, i), d2[i]) << i;
        EXPECT_EQ(maxOf(Channel::D2, i), d2[i]) << i;
        EXPECT_EQ(minOf(Channel::D3, i), kNoSample);
    }
}

TEST_F(UnpackTest, BothDigitalPairsTakeTwoSamplesPerByte) {
    setLength(2, 2);
    setMask(info::kMaskA1 | info::kMaskA2 | info::kMaskD12 | info::kMaskD34);
    // Two A1/A2 pairs, then a byte: D1 bits 0, 4; D2 bits 1, 5; D3 bits 2, 6; D4 bits 3, 7.
    blockA = {10, 20, 11, 21, 0b10100001, 12, 22, 13, 23, 0b01011110};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::ChannelMask), 0x3Fu);
    const std::int32_t expected[4][4] = {{256, 0, 0, 256},  // D1
                                         {0, 256, 256, 0},  // D2
                                         {0, 0, 256, 256},  // D3
                                         {0, 256, 256, 0}}; // D4
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(minOf(Channel::A1, i), (10 + i) << 8);
        EXPECT_EQ(minOf(Channel::A2, i), (20 + i) << 8);
        for (int d = 0; d < 4; ++d)
            EXPECT_EQ(minOf(kDigital[d], i), expected[d][i]) << "D" << d + 1 << " " << i;
    }
}

TEST_F(UnpackTest, UpperPairAloneTakesTheWholeByte) {
    setLength(0, 4);
    setMask(info::kMaskD34);
    blockA = {0b11000110};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    const std::int32_t d3[4] = {0, 256, 0, 256};
    const std::int32_t d4[4] = {256, 0, 0, 256};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(minOf(Channel::D3, i), d3[i]);
        EXPECT_EQ(minOf(Channel::D4, i), d4[i]);
        EXPECT_EQ(minOf(Channel::D1, i), kNoSample);
        EXPECT_EQ(minOf(Channel::A1, i), kNoSample);
    }
}

TEST_F(UnpackTest, PeakDetectPairsConsecutiveRawSamples) {
    setLength(1000, 4000);
    setDecimation(4);
    info[info::TriggerFlags] = 0x80;
    setMask(info::kMaskA1);
    for (int i = 0; i < 5000; ++i) blockA.push_back(static_cast<std::uint8_t>(i % 2 ? 200 : i % 50));
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::CaptureLength), 2500u);
    EXPECT_EQ(word(fh::PreTrigger), 500u);
    EXPECT_EQ(word(fh::AnalogCount), 2500u);
    EXPECT_EQ(word(fh::PeakDetect), 1u);
    EXPECT_EQ(frame->header.get64(fh::SamplePeriodPs), 20000u);
    for (int a : {0, 1, 24, 2499}) {
        EXPECT_EQ(minOf(Channel::A1, a), ((2 * a) % 50) << 8) << a;
        EXPECT_EQ(maxOf(Channel::A1, a), 200 << 8) << a;
    }
    EXPECT_EQ(minOf(Channel::A1, 2500), kNoSample); // beyond the halved length: untouched
}

TEST_F(UnpackTest, HighResolutionCombinesTwoEntries) {
    setLength(0, 8);
    setDecimation(16);
    info[info::TriggerFlags] = 0x40;
    info[info::HiResExponent] = 4;
    setMask(info::kMaskA1 | info::kMaskD12);
    // Eight A1 bytes with two digital bytes.
    blockA = {0x12, 0x34, 0x56, 0x78, 0b00000010, 0xFF, 0xFF, 0x00, 0x80, 0b00000001};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::HiResFactor), 16u);
    EXPECT_EQ(word(fh::CaptureLength), 4u);
    EXPECT_EQ(minOf(Channel::A1, 0), 0x1234);
    EXPECT_EQ(maxOf(Channel::A1, 0), 0x1234);
    EXPECT_EQ(minOf(Channel::A1, 1), 0x5678);
    EXPECT_EQ(minOf(Channel::A1, 2), 0xFFFF);
    EXPECT_EQ(minOf(Channel::A1, 3), 0x0080);
    // Digital: first entry is the min, second the max.
    EXPECT_EQ(minOf(Channel::D1, 0), 0);
    EXPECT_EQ(maxOf(Channel::D1, 0), 0);
    EXPECT_EQ(minOf(Channel::D2, 0), 256);
    EXPECT_EQ(maxOf(Channel::D2, 0), 0);
    EXPECT_EQ(minOf(Channel::D1, 2), 256);
    EXPECT_EQ(maxOf(Channel::D1, 2), 0);
}

TEST_F(UnpackTest, FastDigitalTakesBlockB) {
    setLength(0, 3);
    setMask(info::kMaskA1 | info::kMaskD12 | info::kMaskFastDigital);
    blockA = {1, 2, 3};
    blockB = {0x01, 0x80, 0xF0, 0x0F, 0xAA, 0x55};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::AnalogCount), 3u);
    EXPECT_EQ(word(fh::DigitalCount), 24u);
    EXPECT_EQ(frame->header.get64(fh::DigitalPeriodPs), 625u);
    EXPECT_EQ(minOf(Channel::A1, 2), 3 << 8);
    EXPECT_EQ(minOf(Channel::D1, 0), 256);
    for (int b = 1; b < 8; ++b) EXPECT_EQ(minOf(Channel::D1, b), 0);
    EXPECT_EQ(minOf(Channel::D2, 7), 256);
    EXPECT_EQ(minOf(Channel::D1, 8 + 4), 256);
    EXPECT_EQ(minOf(Channel::D1, 8 + 3), 0);
    EXPECT_EQ(minOf(Channel::D2, 8 + 3), 256);
    EXPECT_EQ(minOf(Channel::D1, 16 + 1), 256);
    EXPECT_EQ(minOf(Channel::D2, 16 + 0), 256);
    EXPECT_EQ(maxOf(Channel::D2, 23), 0);
    for (int p : {0, 23}) EXPECT_EQ(minOf(Channel::D3, p), kNoSample);
}

TEST_F(UnpackTest, EtsFrameWithoutReconstructionShowsSubRecordZero) {
    setLength(2, 2);
    setMask(info::kMaskA1 | info::kMaskEts);
    for (int i = 0; i < 16; ++i) blockA.push_back(static_cast<std::uint8_t>(i + 1));
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 1u);
    EXPECT_EQ(word(fh::CaptureLength), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(minOf(Channel::A1, i), (i + 1) << 8);
    EXPECT_EQ(minOf(Channel::A1, 4), kNoSample);
    EXPECT_EQ(work->raw.length(Channel::A1), 16u);
    EXPECT_EQ(work->raw.of(Channel::A1)[15], 16 << 8); // sub-record 3 kept for the reconstruction
}

TEST_F(UnpackTest, ShortBlockLeavesTheRestEmpty) {
    setLength(0, 8);
    setMask(info::kMaskA1 | info::kMaskD12);
    blockA = {1, 2, 3, 4, 0xFF, 5, 6};
    EXPECT_EQ(assemble(), AssemblyStatus::ShortBlock);
    EXPECT_EQ(work->stats.shortBlocks, 1u);
    EXPECT_EQ(minOf(Channel::A1, 5), 6 << 8);
    EXPECT_EQ(minOf(Channel::A1, 6), kNoSample);
    EXPECT_EQ(minOf(Channel::D1, 3), 256);
    EXPECT_EQ(minOf(Channel::D1, 4), kNoSample);
}

// A corrupt length must be refused without touching the record, whatever the blocks hold.
struct CorruptCase {
    const char* name;
    std::uint32_t pre, post;
    std::uint8_t mask, trigFlags;
};

class CorruptLengthTest : public AssemblyFixture, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptLengthTest, IsRefused) {
    const auto& c = GetParam();
    setLength(c.pre, c.post);
    setMask(c.mask);
    info[info::TriggerFlags] = c.trigFlags;
    blockA.assign(200000, 0x55);
    blockB.assign(10000, 0xAA);
    frame->header[fh::FrameCounter] = 7;
    EXPECT_EQ(assemble(), AssemblyStatus::BadLength);
    EXPECT_EQ(work->stats.refused, 1u);
    EXPECT_EQ(word(fh::FrameCounter), 7u);
    EXPECT_EQ(minOf(Channel::A1, 0), kNoSample);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CorruptLengthTest,
                         ::testing::Values(CorruptCase{"Max", 65535, 65535, 0x3F, 0},
                                           CorruptCase{"JustOver", 20000, 20001, 0x01, 0},
                                           CorruptCase{"EtsOver", 20000, 20001, 0x21, 0x80},
                                           CorruptCase{"FastDigitalOver", 5000, 1, 0x15, 0},
                                           CorruptCase{"PeakOver", 40000, 40002, 0x01, 0x80}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(UnpackTest, LargestLengthsFit) {
    setLength(20000, 20000);
    setMask(info::kMaskA1 | info::kMaskA2 | info::kMaskD12 | info::kMaskD34);
    blockA.assign(200000, 0x55);
    EXPECT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::CaptureLength), 40000u);
    setLength(0, 5000);
    setMask(info::kMaskD12 | info::kMaskD34 | info::kMaskFastDigital);
    blockB.assign(10000, 0xAA); // short for four channels: the rest stays empty
    EXPECT_EQ(assemble(), AssemblyStatus::ShortBlock);
    EXPECT_EQ(word(fh::DigitalCount), 40000u);
    EXPECT_EQ(minOf(Channel::D1, 39999), kNoSample);
    EXPECT_EQ(minOf(Channel::D1, 0), 0);
}

TEST_F(UnpackTest, ShortInfoBlockIsRefused) {
    std::vector<std::uint8_t> shortInfo(100, 0);
    EXPECT_EQ(assembleFrame(shortInfo, blockA, blockB, ctx, *work, *frame), AssemblyStatus::BadInfoBlock);
    EXPECT_EQ(work->stats.refused, 1u);
}

} // namespace
} // namespace kx::acquisition::test

namespace kx::acquisition::test {
namespace {

// Random information blocks with exactly sized blocks: no read past them (the sanitizer build
// watches the heap blocks), and the header never announces more than the buffers hold.
TEST_F(UnpackTest, RandomHeadersStayInsideTheirBuffers) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        for (auto& b : info) b = static_cast<std::uint8_t>(next());
        if (round % 2) { // plausible lengths half of the time, so assembly runs through
            setLength(next() % 3000, next() % 3000);
            setDecimation(1 + next() % 3);
        }
        blockA.assign(next() % 30000, static_cast<std::uint8_t>(next()));
        blockB.assign(next() % 3000, static_cast<std::uint8_t>(next()));
        ctx.preTrigger = static_cast<std::int32_t>(next() % 6000) - 100;
        ctx.scrollActive = (next() & 1) != 0;
        ctx.recordingOn = (next() & 1) != 0;
        const auto status = assemble();
        if (!assembled(status)) continue;
        EXPECT_LE(word(fh::CaptureLength), core::kMaxFramePoints);
        EXPECT_LE(word(fh::AnalogCount), word(fh::CaptureLength));
        EXPECT_LE(word(fh::DigitalCount), core::kMaxFramePoints);
        EXPECT_LE(word(fh::TriggerIndex), word(fh::CaptureLength));
        EXPECT_LE(work->recorder.count, kRecorderCapacity);
    }
}

} // namespace
} // namespace kx::acquisition::test
