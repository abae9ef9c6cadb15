// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssemblyFixture.h"

#include <string>
#include <vector>

namespace kx::acquisition::test {
namespace {

using core::Channel;
using core::kNoSample;
namespace fh = core::fh;

constexpr std::uint8_t kRoll = 0x04;
constexpr std::uint8_t kDataPresent = 0x01;
constexpr std::uint8_t kWrapped = 0x02;

struct RollCase {
    const char* name;
    std::uint8_t status;
    bool scroll;
    bool peak;
    std::uint32_t count, trigger;
    std::vector<int> firstBytes; // expected A1 min bytes from position 0, -1 = empty
};

class RollTest : public AssemblyFixture, public ::testing::WithParamInterface<RollCase> {};

TEST_P(RollTest, CountsAndOrder) {
    const auto& c = GetParam();
    setLength(0, 8);
    setMask(info::kMaskA1);
    info[info::RunFlags] = kRoll;
    info[info::FrameStatus] = c.status;
    if (c.peak) {
        info[info::TriggerFlags] = 0x80;
        setDecimation(2);
    }
    setWord16(info::RollWriteIndex, c.peak ? 4 : 3);
    ctx.scrollActive = c.scroll;
    blockA = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::RollFrame), 1u);
    EXPECT_EQ(word(fh::AnalogCount), c.count);
    EXPECT_EQ(word(fh::TriggerIndex), c.trigger);
    for (std::size_t i = 0; i < c.firstBytes.size(); ++i) {
        const int b = c.firstBytes[i];
        EXPECT_EQ(minOf(Channel::A1, i), b < 0 ? kNoSample : b << 8) << "position " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, RollTest,
    ::testing::Values(
        RollCase{"Empty", 0, false, false, 0, 0, {-1, -1}},
        RollCase{"BeforeWrap", kDataPresent, false, false, 3, 3, {1, 2, 3, -1, -1}},
        RollCase{"BeforeWrapScrolling", kDataPresent, true, false, 3, 3, {1, 2, 3, -1}},
        RollCase{"WrappedNoData", kWrapped, false, false, 8, 8, {1, 2, 3, 4, 5, 6, 7, 8}},
        RollCase{"WrappedNoDataScrolling", kWrapped, true, false, 8, 8, {4, 5, 6, 7, 8, 1, 2, 3}},
        RollCase{"AfterWrap", kWrapped | kDataPresent, false, false, 8, 3, {1, 2, 3, 4, 5, 6, 7, 8}},
        RollCase{"AfterWrapScrolling", kWrapped | kDataPresent, true, false, 8, 8, {4, 5, 6, 7, 8, 1, 2, 3}},
        RollCase{"PeakAfterWrapScrolling", kWrapped | kDataPresent, true, true, 4, 4, {5, 7, 1, 3}},
        RollCase{"PeakBeforeWrap", kDataPresent, false, true, 2, 2, {1, 3, -1}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(AssemblyFixture, RollWriteIndexOutsideTheRingIsCounted) {
    setLength(0, 8);
    setMask(info::kMaskA1);
    info[info::RunFlags] = kRoll;
    info[info::FrameStatus] = kDataPresent;
    setWord16(info::RollWriteIndex, 60000);
    blockA.assign(8, 9);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(work->stats.clamped, 1u);
    EXPECT_LE(word(fh::AnalogCount), 8u);
}

struct ScaleCase {
    std::uint8_t gain, frontEnd;
    bool compact;
    std::int32_t probe;
    std::uint32_t expected;
};

class ScaleTest : public AssemblyFixture, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleTest, MicrovoltsPerDivision) {
    const auto& c = GetParam();
    info[info::GainA1] = c.gain;
    info[info::FrontEndA1] = c.frontEnd;
    info[info::GainA2] = c.gain;
    info[info::FrontEndA2] = c.frontEnd;
    ctx.compactFrontEnd = c.compact;
    ctx.probeA1 = c.probe;
    ctx.probeA2 = 1;
    ASSERT_TRUE(assembled(assemble()));
    EXPECT_EQ(word(fh::ScaleA1), c.expected);
    EXPECT_EQ(word(fh::ScaleA2) * static_cast<std::uint32_t>(c.probe), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ScaleTest,
    ::testing::Values(ScaleCase{2, 13, false, 10, 10000}, ScaleCase{15, 0, false, 1, 2000000},
                      ScaleCase{14, 0x10, false, 1, 1000000}, ScaleCase{9, 9, false, 100, 25000000},
                      ScaleCase{10, 0, false, 20, 4000000}, ScaleCase{7, 0, false, 1, 100000},
                      ScaleCase{6, 0, false, 1, 50000}, ScaleCase{3, 0, false, 1, 20000},
                      ScaleCase{0x32, 15, false, 1, 500}, ScaleCase{2, 12, true, 1, 20000},
                      ScaleCase{15, 8, true, 10, 1000000}));

TEST_F(AssemblyFixture, StatisticsOverTheValidSamples) {
    setLength(1, 2);
    setMask(info::kMaskA1 | info::kMaskA2);
    blockA = {0x10, 0x80, 0x20, 0x80, 0x30, 0x80};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_DOUBLE_EQ(frame->header.getReal(fh::SumA1), 24576.0);
    EXPECT_DOUBLE_EQ(frame->header.getReal(fh::SumSqA1), 234881024.0);
    EXPECT_EQ(signedWord(fh::PeakToPeakA1), 8192);
    EXPECT_DOUBLE_EQ(frame->header.getReal(fh::SumA2), 98304.0);
    EXPECT_DOUBLE_EQ(frame->header.getReal(fh::SumSqA2), 3221225472.0);
    EXPECT_EQ(signedWord(fh::PeakToPeakA2), 0);

    info[info::FrameStatus] = 0x40; // A2 overdriven
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::OverdriveA2), 1u);
    EXPECT_EQ(signedWord(fh::PeakToPeakA1), 8192);
    EXPECT_EQ(signedWord(fh::PeakToPeakA2), -1);

    info[info::FrameStatus] = 0;
    info[info::AcquisitionFlags] = 0x04; // analyser frame
    ctx.menuAA = true;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::AnalyzerMode), 2u);
    EXPECT_EQ(word(fh::ChannelMask), 0u);
    EXPECT_EQ(signedWord(fh::PeakToPeakA1), -1);
}

TEST_F(AssemblyFixture, PeakDetectStatisticsUseMinAndMax) {
    setLength(0, 4);
    setDecimation(2);
    info[info::TriggerFlags] = 0x80;
    setMask(info::kMaskA1);
    blockA = {0x10, 0x30, 0x20, 0x40};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_DOUBLE_EQ(frame->header.getReal(fh::SumA1), (0x1000 + 0x3000 + 0x2000 + 0x4000) / 2.0);
    EXPECT_EQ(signedWord(fh::PeakToPeakA1), 0x3000);
}

TEST_F(AssemblyFixture, IdentityAndSettingsWords) {
    setLength(0, 1);
    setMask(info::kMaskA1);
    blockA = {1};
    setWord16(info::DeviceType, 0x23);
    setWord16(info::Word36, 0xBEEF);
    ctx.zeroA1 = 0x7000;
    ctx.zeroA2 = 0x9000;
    ctx.iqWinEn = true;
    ctx.genAmpCode = 1234;
    ctx.sweepSpan = 0x123456789ull;
    ctx.sweepStart = 42;
    ctx.counterStatus = 3;
    ctx.counterEvents = 1000;
    ctx.counterTicks = 200000000;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::FrameDeviceType), 0x23u);
    EXPECT_EQ(word(fh::InfoWord118), 0xBEEFu);
    EXPECT_EQ(word(fh::ZeroA1), 0x7000u);
    EXPECT_EQ(word(fh::ZeroA2), 0x9000u);
    EXPECT_EQ(word(fh::NarrowFilter), 1u);
    EXPECT_EQ(word(fh::GenAmplitudeWord), 1234u);
    EXPECT_EQ(frame->header.get64(fh::SweepSpan), 0x123456789ull);
    EXPECT_EQ(frame->header.get64(fh::SweepStart), 42u);
    EXPECT_EQ(word(fh::CounterStatus), 3u);
    EXPECT_EQ(word(fh::CounterEvents), 1000u);
    EXPECT_EQ(word(fh::CounterTicks), 200000000u);
    EXPECT_EQ(word(fh::FrameCounter), 2u);
    EXPECT_EQ(word(fh::EtsState), 0u);
    EXPECT_EQ(word(fh::HiResFactor), 1u);
}

struct ConditionCase {
    const char* name;
    std::uint8_t chanFlags, status, condStatus;
    std::uint32_t source, value, kind, video, line;
};

class ConditionTest : public AssemblyFixture, public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(ConditionTest, Words50To54) {
    const auto& c = GetParam();
    setLength(0, 1);
    setMask(info::kMaskA1);
    blockA = {1};
    info[info::TriggerFlags] = 3; // D2
    info[info::ChannelFlags] = c.chanFlags;
    info[info::FrameStatus] = c.status;
    info[info::ConditionStatus] = c.condStatus;
    setWord16(info::ConditionTime, 12345);
    setWord16(info::ConditionTime + 2, 1);
    setWord16(info::ConditionCount, 77);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::TriggerSource), c.source);
    EXPECT_EQ(word(fh::TPlusValue), c.value);
    EXPECT_EQ(word(fh::TPlusKind), c.kind);
    EXPECT_EQ(word(fh::StatusTriggerSource), 4u);
    EXPECT_EQ(word(fh::VideoStandard), c.video);
    EXPECT_EQ(word(fh::VideoLine), c.line);
}

constexpr std::uint32_t kTime = 12345 + 65536;

INSTANTIATE_TEST_SUITE_P(Cases, ConditionTest,
                         ::testing::Values(ConditionCase{"Plain", 0x80, 0, 0, 4, kTime, 1, 0, 77},
                                           ConditionCase{"Bit5", 0xA0, 0, 0, 4, kTime, 2, 0, 77},
                                           ConditionCase{"BothNoTime", 0xE0, 0, 0, 4, 0, 3, 0, 77},
                                           ConditionCase{"BothWithTime", 0xE0, 0, 0x02, 4, kTime, 3, 0, 77},
                                           ConditionCase{"Bit6", 0xC0, 0, 0, 4, kTime, 4, 0, 77},
                                           ConditionCase{"VideoFound", 0x80, 0x10, 0x20, 4, kTime, 1, 3, 77},
                                           ConditionCase{"NtscActive", 0x80, 0x10, 0, 4, kTime, 1, 2, 77},
                                           ConditionCase{"InactivePal", 0x60, 0x18, 0x23, 0, 0, 0, 1, 0},
                                           ConditionCase{"NoPosition", 0x80, 0x04, 0x20, 0, 0, 0, 0, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(AssemblyFixture, TriggerLevelCodeFollowsTheAnalogSource) {
    setLength(0, 1);
    setMask(info::kMaskA1);
    blockA = {1};
    info[info::ChannelFlags] = 0x80;
    ctx.levA1 = 70000;
    ctx.levA2 = 12345.6;
    info[info::TriggerFlags] = 1; // A2
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::TriggerLevelCode), 12346u);
    info[info::TriggerFlags] = 2; // D1: the previous level stays
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::TriggerLevelCode), 12346u);
    info[info::TriggerFlags] = 0;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::TriggerLevelCode), 0x10000u);
}

TEST_F(AssemblyFixture, HooksRunInOrderWithTheirConditions) {
    std::vector<std::string> calls;
    auto& h = work->hooks;
    h.etsReconstruct = [&](const HookArgs& a) {
        calls.push_back("ets");
        EXPECT_EQ(a.frame.header[fh::CaptureLength], 2u);
        for (int i = 0; i < 2; ++i) a.raw.of(Channel::A1)[static_cast<std::size_t>(i)] = 0x4242;
        a.frame.header.set64(fh::SamplePeriodPs, 100);
        return true;
    };
    h.analyzerFrame = [&](const HookArgs& a) {
        calls.push_back("analyzer");
        EXPECT_EQ(a.frame.channels.minOf(Channel::A1)[0], 0x4242); // copied already
    };
    h.systemCalibration = [&](const HookArgs& a) {
        calls.push_back("system");
        EXPECT_EQ(a.frame.header.signedWord(fh::PeakToPeakA1), -1); // statistics done
    };
    h.lcMeter = [&](const HookArgs& a) {
        calls.push_back("lc");
        EXPECT_GT(a.frame.header[fh::FrameCounter], 0u);
    };
    h.antennaCalibration = [&](const HookArgs&) { calls.push_back("antenna"); };
    h.networkCalibration = [&](const HookArgs&) { calls.push_back("network"); };

    setLength(0, 2);
    setMask(info::kMaskA1 | info::kMaskEts);
    info[info::AcquisitionFlags] = 0x04;
    info[info::ChannelFlags] = 0x80;
    blockA = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(calls, (std::vector<std::string>{"ets", "analyzer", "system", "lc", "antenna", "network"}));
    EXPECT_EQ(word(fh::EtsState), 2u);
    EXPECT_EQ(word(fh::TPlusKind), 0u); // a reconstructed frame carries no condition words
    EXPECT_EQ(word(fh::ShiftA1), 0u);   // the equivalent period is not 5000 ps

    // A plain roll frame without data: no analyser step, no LC meter.
    calls.clear();
    setMask(info::kMaskA1);
    info[info::AcquisitionFlags] = 0;
    info[info::RunFlags] = kRoll;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(calls, (std::vector<std::string>{"system", "antenna", "network"}));
}

TEST_F(AssemblyFixture, FailedReconstructionKeepsEtsStateOne) {
    work->hooks.etsReconstruct = [](const HookArgs&) { return false; };
    setLength(0, 2);
    setMask(info::kMaskA1 | info::kMaskEts);
    blockA = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::EtsState), 1u);
    EXPECT_EQ(minOf(Channel::A1, 1), 2 << 8);
}

} // namespace
} // namespace kx::acquisition::test
